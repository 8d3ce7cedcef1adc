#include "runtime/preview/PageView.h"

#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <algorithm>

#include "platform/QtPainterBackend.h"
#include "runtime/compose/PageComposer.h"
#include "runtime/preview/PreviewPages.h"
#include "runtime/preview/PreviewPictures.h"

namespace runtime {

namespace {

constexpr platform::ColorRef kDeskGrey = 0x808080;
constexpr platform::ColorRef kWhite = 0xFFFFFF;
constexpr platform::ColorRef kBlack = 0x000000;
// One notch of the wheel scrolls this many steps of the scroll bar.
constexpr int kStepsPerNotch = 3;
constexpr int kNotch = 120;

} // namespace

PageView::PageView(PreviewPages& pages, int zoom, QWidget* parent)
    : QAbstractScrollArea(parent), m_pages(pages), m_zoom(zoom) {
    setFrameShape(QFrame::NoFrame);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    for (const Qt::Orientation orientation : {Qt::Horizontal, Qt::Vertical}) {
        QScrollBar* bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
        // The page moves when the thumb is let go, not while it is dragged.
        bar->setTracking(false);
        bar->setContextMenuPolicy(Qt::NoContextMenu);
        bar->installEventFilter(this);
        connect(bar, &QAbstractSlider::actionTriggered, this,
                [this, orientation](int action) { onScrollAction(orientation, action); });
        connect(bar, &QAbstractSlider::sliderReleased, this, [this, orientation, bar] {
            scrollPage(orientation, preview::ScrollCode::ThumbPosition, bar->sliderPosition());
        });
    }
    updateScrollBars();
}

PageView::~PageView() = default;

void PageView::setZoom(int percent) {
    m_zoom = std::clamp(percent, kMinZoom, kMaxZoom);
    refresh();
}

int PageView::wholePageZoom() const {
    const formdesc::PageGeometry& geometry = m_pages.geometry();
    const preview::Extent view = viewExtent();
    return preview::wholePageZoom(view.width, view.height, geometry.pageW, geometry.pageH);
}

void PageView::refresh() {
    placePage();
    m_copyOnly = false;
    viewport()->update();
}

void PageView::setZoomMode(bool on) {
    m_zoomMode = on;
    if (on)
        viewport()->setCursor(zoomCursor());
    else
        viewport()->unsetCursor();
}

preview::Extent PageView::zoomedPage() const {
    const formdesc::PageGeometry& geometry = m_pages.geometry();
    return preview::zoomedPage(geometry.pageW, geometry.pageH, m_zoom);
}

preview::Extent PageView::viewExtent() const {
    return {viewport()->width(), viewport()->height()};
}

void PageView::placePage() {
    m_origin = preview::placePage(zoomedPage(), viewExtent(), m_origin);
    updateScrollBars();
}

void PageView::updateScrollBars() {
    const preview::Extent zoomed = zoomedPage();
    const preview::Extent view = viewExtent();
    auto apply = [](QScrollBar* bar, const preview::ScrollBarState& state) {
        if (!state.enabled) {
            bar->setRange(0, 0);
            bar->setEnabled(false);
            return;
        }
        // A thumb of `page` units on 0..100 can start at 0..100 - page + 1.
        bar->setEnabled(true);
        bar->setRange(0, 100 - std::max(state.page - 1, 0));
        bar->setPageStep(std::max(state.page, 1));
        bar->setSingleStep(1);
        bar->setValue(state.position);
    };
    apply(horizontalScrollBar(), preview::scrollBarState(zoomed.width, view.width, m_origin.x));
    apply(verticalScrollBar(), preview::scrollBarState(zoomed.height, view.height, m_origin.y));
}

void PageView::scrollPage(Qt::Orientation orientation, preview::ScrollCode code, int thumbPosition) {
    const preview::Extent zoomed = zoomedPage();
    const preview::Extent view = viewExtent();
    const preview::Origin before = m_origin;
    if (orientation == Qt::Horizontal)
        m_origin.x = preview::scrolledOrigin(code, thumbPosition, zoomed.width, view.width, m_origin.x);
    else
        m_origin.y = preview::scrolledOrigin(code, thumbPosition, zoomed.height, view.height, m_origin.y);
    updateScrollBars();
    if (m_origin != before) {
        m_copyOnly = false;
        viewport()->update();
    }
}

void PageView::onScrollAction(Qt::Orientation orientation, int action) {
    QScrollBar* bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        scrollPage(orientation, preview::ScrollCode::LineUp);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        scrollPage(orientation, preview::ScrollCode::LineDown);
        break;
    case QAbstractSlider::SliderPageStepSub:
        scrollPage(orientation, preview::ScrollCode::PageUp);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        scrollPage(orientation, preview::ScrollCode::PageDown);
        break;
    case QAbstractSlider::SliderToMinimum:
    case QAbstractSlider::SliderToMaximum:
        scrollPage(orientation, preview::ScrollCode::ThumbPosition, bar->sliderPosition());
        break;
    case QAbstractSlider::SliderMove:
        // Dragging: the page follows when the thumb is let go. A jump of
        // the thumb without a drag (a middle click) is a thumb position.
        if (!bar->isSliderDown())
            scrollPage(orientation, preview::ScrollCode::ThumbPosition, bar->sliderPosition());
        break;
    default:
        break;
    }
}

// The page is placed by the scroll rules alone; Qt's own scrolling of the
// viewport's pixels must not move it.
void PageView::scrollContentsBy(int, int) {}

void PageView::wheelEvent(QWheelEvent* event) {
    const QPoint delta = event->angleDelta();
    const bool across = delta.y() == 0 || (event->modifiers() & Qt::ShiftModifier);
    const Qt::Orientation orientation = across ? Qt::Horizontal : Qt::Vertical;
    QScrollBar* bar = across ? horizontalScrollBar() : verticalScrollBar();
    event->accept();
    if (!bar->isEnabled())
        return;
    m_wheelRemainder += delta.y() != 0 ? delta.y() : delta.x();
    const int notches = m_wheelRemainder / kNotch;
    m_wheelRemainder -= notches * kNotch;
    const preview::ScrollCode code =
        notches > 0 ? preview::ScrollCode::LineUp : preview::ScrollCode::LineDown;
    for (int i = 0; i < std::abs(notches) * kStepsPerNotch; ++i)
        scrollPage(orientation, code);
}

// The wheel over a scroll bar scrolls as it does over the page, instead of
// moving the bar by Qt's own rules.
bool PageView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::Wheel &&
        (watched == horizontalScrollBar() || watched == verticalScrollBar())) {
        wheelEvent(static_cast<QWheelEvent*>(event));
        return true;
    }
    return QAbstractScrollArea::eventFilter(watched, event);
}

void PageView::mousePressEvent(QMouseEvent* event) {
    if (!m_zoomMode || (event->button() != Qt::LeftButton && event->button() != Qt::RightButton)) {
        QAbstractScrollArea::mousePressEvent(event);
        return;
    }
    event->accept();
    const int zoom = preview::zoomAfterClick(m_zoom, event->button() == Qt::LeftButton);
    if (zoom == m_zoom)
        return;
    m_zoom = zoom;
    if (m_zoomChanged)
        m_zoomChanged(m_zoom);
    refresh();
}

void PageView::resizeEvent(QResizeEvent*) {
    if (!m_sized) {
        m_sized = true;
        if (m_zoom <= 0) {
            m_zoom = wholePageZoom();
            if (m_zoomChanged)
                m_zoomChanged(m_zoom);
        }
        refresh();
        return;
    }
    // The buffer already holds the page at its origin; it is composed again
    // only when the new size moves the page or reaches beyond the buffer.
    const preview::Origin before = m_origin;
    placePage();
    const bool fits = viewport()->width() <= m_buffer.width() && viewport()->height() <= m_buffer.height();
    m_copyOnly = m_everPainted && fits && m_origin == before;
}

void PageView::ensureBuffer() {
    QSize size = viewport()->size();
    if (const QScreen* desktop = screen())
        size = size.expandedTo(desktop->virtualSize());
    if (m_buffer.isNull() || m_buffer.width() < size.width() || m_buffer.height() < size.height())
        m_buffer = QImage(size.expandedTo(m_buffer.size()), QImage::Format_RGB32);
}

// The page's black edge, one device pixel wide at any zoom: drawn through
// the mapping, a one-unit edge rounds away below 100 %.
void PageView::drawPageFrame(platform::DeviceContext& dc, const platform::Rect& page) {
    const platform::Point a = dc.lpToDp({page.left, page.top});
    const platform::Point b = dc.lpToDp({page.right, page.bottom});
    platform::DeviceBackend& device = dc.backend();
    device.fillRect({a.x, a.y, b.x, a.y + 1}, kBlack);
    device.fillRect({a.x, b.y - 1, b.x, b.y}, kBlack);
    device.fillRect({a.x, a.y, a.x + 1, b.y}, kBlack);
    device.fillRect({b.x - 1, a.y, b.x, b.y}, kBlack);
}

void PageView::composePage() {
    if (m_zoom <= 0)
        m_zoom = wholePageZoom();
    ensureBuffer();
    const formdesc::PageGeometry& geometry = m_pages.geometry();
    const formdesc::FormInfo& form = m_pages.model().form;
    QPainter painter(&m_buffer);
    platform::QtPainterBackend backend(painter, logicalDpiX(), logicalDpiY());
    platform::DeviceContext dc(backend);
    {
        PreparedDeviceContext prepared(dc, form, render::RenderPolicy::preview(), m_pages.dpiY());
        dc.fillRect({0, 0, m_buffer.width(), m_buffer.height()}, kDeskGrey);

        const formdesc::PixelSize zoomed = formdesc::previewViewportExt(geometry, m_zoom);
        dc.setMapMode(platform::MapMode::Isotropic);
        dc.setWindowExt(geometry.pageW, geometry.pageH);
        dc.setViewportExt(zoomed.width, zoomed.height);
        dc.setViewportOrg(m_origin.x, m_origin.y);

        const platform::Rect page{0, 0, geometry.pageW, geometry.pageH};
        dc.fillRect(page, kWhite);
        drawPageFrame(dc, page);
        m_pages.compose(dc);
        dc.flush();
    }
    ++m_compositions;
    // Warnings of the page (bad barcode contents) once the painting is over.
    QMetaObject::invokeMethod(
        this, [this] { m_pages.showPendingWarnings(); }, Qt::QueuedConnection);
}

void PageView::paintEvent(QPaintEvent*) {
    if (!m_copyOnly || m_buffer.isNull())
        composePage();
    m_copyOnly = false;
    m_everPainted = true;
    {
        QPainter painter(viewport());
        painter.drawImage(QPoint(0, 0), m_buffer, QRect(QPoint(0, 0), viewport()->size()));
    }
    if (m_painted)
        m_painted();
}

} // namespace runtime
