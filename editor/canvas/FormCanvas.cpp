#include "editor/canvas/FormCanvas.h"

#include <QCursor>
#include <QFileInfo>
#include <QPaintEvent>
#include <QPainter>
#include <QResizeEvent>
#include <QScreen>
#include <QScrollBar>
#include <QWheelEvent>

#include <cmath>
#include <cstring>

#include "editor/canvas/CanvasRenderer.h"
#include "editor/canvas/ItemPicker.h"
#include "editor/canvas/ItemTracker.h"
#include "editor/canvas/RegionRedraw.h"
#include "editor/document/RuntimeBridge.h"
#include "formdesc/Barcode.h"
#include "render/BitmapCache.h"

namespace editor {

namespace {

constexpr int kWheelLines = 3;

bool isToolMode(int mode) {
    return mode == formdesc::kKindBase || mode == formdesc::kKindField || mode == formdesc::kKindLine ||
           mode == formdesc::kKindRect || mode == formdesc::kKindBitmap || mode == formdesc::kKindBarcode;
}

} // namespace

FormCanvas::FormCanvas(DocumentUi& ui, QWidget* parent)
    : QAbstractScrollArea(parent), m_document(std::make_unique<FormDocument>(ui)),
      m_bitmaps(std::make_unique<render::BitmapCache>(std::filesystem::path{},
                                                      render::BitmapCache::Failures::Silent)),
      m_regionRedraw(std::make_unique<RegionRedraw>()) {
    m_placeholder = CanvasRenderer::placeholderPicture();
    setAccessibleName(QStringLiteral("帳票キャンバス"));
    setFrameShape(QFrame::StyledPanel);
    setFocusPolicy(Qt::StrongFocus);
    viewport()->setAttribute(Qt::WA_OpaquePaintEvent);
    viewport()->setAutoFillBackground(false);
    // The start cell display follows the pointer even with no button held.
    viewport()->setMouseTracking(true);
    setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);

    connect(m_document.get(), &FormDocument::titleChanged, this, &FormCanvas::titleChanged);
    connect(m_document.get(), &FormDocument::recordsReplaced, this, &FormCanvas::onRecordsReplaced);
    connect(m_document.get(), &FormDocument::recordsRestored, this, &FormCanvas::onRecordsRestored);
    connect(m_document.get(), &FormDocument::historyChanged, this, &FormCanvas::editStateChanged);
    connect(horizontalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { onScrollAction(Qt::Horizontal, action); });
    connect(verticalScrollBar(), &QScrollBar::actionTriggered, this,
            [this](int action) { onScrollAction(Qt::Vertical, action); });
    connect(horizontalScrollBar(), &QScrollBar::sliderReleased, this,
            [this] { onScrollReleased(Qt::Horizontal); });
    connect(verticalScrollBar(), &QScrollBar::sliderReleased, this,
            [this] { onScrollReleased(Qt::Vertical); });

    // The canvas starts with a new form, so that a form named on the command
    // line and opened before the window is shown is never replaced by it.
    m_document->newForm();
    recomputeGeometry();
}

FormCanvas::~FormCanvas() = default;

void FormCanvas::setZoom(int percent) {
    // The whole page is fitted to the window without scroll bars, which a
    // fitting page does not need: the same zoom however often it is asked for.
    const QSize client = maximumViewportSize();
    const int fit = CanvasGeometry::fitZoom(m_view.page, client.width(), client.height());
    const int zoom = CanvasGeometry::resolveZoom(percent, fit);
    if (zoom != m_view.zoom) {
        m_view.zoom = zoom;
        recomputeScrolling();
        requestFullRedraw();
        emit zoomChanged(zoom);
    }
    setFocus();
}

void FormCanvas::requestZoom(int percent) {
    setZoom(percent);
}

void FormCanvas::setMagnifierMode(bool on) {
    if (on == m_magnifier)
        return;
    m_magnifier = on;
    const QPoint pointer = viewport()->mapFromGlobal(QCursor::pos());
    updateCursor(pointer.x(), pointer.y());
    emit magnifierModeChanged(on);
}

void FormCanvas::setToolMode(int mode) {
    if (!isToolMode(mode) || mode == m_toolMode)
        return;
    m_toolMode = mode;
    emit toolModeChanged(mode);
}

void FormCanvas::selectAll() {
    abandonDrag();
    setToolMode(formdesc::kKindBase); // the selection tool: what is selected moves at once
    const bool all = ItemPicker::selectAll(m_document->model(), m_attributes.selectionFilter, m_selection);
    if (!m_selection.empty())
        showSpan(m_selection.bounds());
    viewport()->update();
    emit editStateChanged();
    if (!all)
        FormDocument::reportItemLimit();
}

void FormCanvas::requestFullRedraw() {
    m_redraw = true;
    m_renderForced = true;
    viewport()->update();
}

void FormCanvas::recomputeGeometry() {
    const formdesc::FormInfo& form = m_document->model().form;
    m_view.page = CanvasGeometry::pageGeometry(form, logicalDpiX(), logicalDpiY());
    m_view.columns = form.columns;
    m_view.rows = form.rows;
}

void FormCanvas::recomputeScrolling() {
    // Showing or hiding a bar resizes the viewport, which asks for this
    // again; the loop below takes the new size instead.
    if (m_settingUpScrolling)
        return;
    m_settingUpScrolling = true;
    for (int pass = 0; pass < 3; ++pass) {
        const QSize client = viewport()->size();
        m_view.offsetX = CanvasGeometry::recomputeOffsetX(
            m_view.offsetX, CanvasGeometry::zoomed(m_view.page.pageW, m_view.zoom), client.width());
        m_view.offsetY = CanvasGeometry::recomputeOffsetY(
            m_view.offsetY, CanvasGeometry::zoomed(m_view.page.pageH, m_view.zoom), client.height());
        setUpScrollBars();
        if (viewport()->size() == client)
            break;
    }
    m_settingUpScrolling = false;
}

void FormCanvas::setUpScrollBars() {
    const auto setUp = [](QScrollBar* bar, const ScrollBarState& state) {
        const QSignalBlocker block(bar);
        // Positions 0..100 with a thumb of `page` units, as far as the thumb can go.
        bar->setRange(0, std::max(0, 101 - std::max(state.page, 1)));
        bar->setPageStep(std::max(state.page, 1));
        bar->setSingleStep(1);
        bar->setValue(state.position);
    };
    const QSize client = viewport()->size();
    const ScrollBarState across = CanvasGeometry::scrollBar(
        CanvasGeometry::zoomed(m_view.page.pageW, m_view.zoom), client.width(), m_view.offsetX);
    const ScrollBarState down = CanvasGeometry::scrollBar(
        CanvasGeometry::zoomed(m_view.page.pageH, m_view.zoom), client.height(), m_view.offsetY);
    setUp(horizontalScrollBar(), across);
    setUp(verticalScrollBar(), down);
    setHorizontalScrollBarPolicy(across.visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
    setVerticalScrollBarPolicy(down.visible ? Qt::ScrollBarAlwaysOn : Qt::ScrollBarAlwaysOff);
}

void FormCanvas::scrollBy(Qt::Orientation orientation, ScrollAction action, int position) {
    const bool across = orientation == Qt::Horizontal;
    int& offset = across ? m_view.offsetX : m_view.offsetY;
    const int page = CanvasGeometry::zoomed(across ? m_view.page.pageW : m_view.page.pageH, m_view.zoom);
    const int client = across ? viewport()->width() : viewport()->height();
    const int next = CanvasGeometry::scroll(action, position, offset, page, client);
    const bool moved = next != offset;
    offset = next;
    setUpScrollBars();
    if (moved)
        requestFullRedraw();
}

void FormCanvas::onScrollAction(Qt::Orientation orientation, int action) {
    QScrollBar* bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    switch (action) {
    case QAbstractSlider::SliderSingleStepSub:
        scrollBy(orientation, ScrollAction::LineUp, 0);
        break;
    case QAbstractSlider::SliderSingleStepAdd:
        scrollBy(orientation, ScrollAction::LineDown, 0);
        break;
    case QAbstractSlider::SliderPageStepSub:
        scrollBy(orientation, ScrollAction::PageUp, 0);
        break;
    case QAbstractSlider::SliderPageStepAdd:
        scrollBy(orientation, ScrollAction::PageDown, 0);
        break;
    case QAbstractSlider::SliderMove:
        // Dragging the thumb moves the page when it is let go; a move
        // without a drag (a wheel turned over the bar) moves it at once.
        if (!bar->isSliderDown())
            scrollBy(orientation, ScrollAction::ThumbPosition, bar->sliderPosition());
        return;
    default:
        scrollBy(orientation, ScrollAction::ThumbPosition, bar->sliderPosition());
        break;
    }
}

void FormCanvas::onScrollReleased(Qt::Orientation orientation) {
    QScrollBar* bar = orientation == Qt::Horizontal ? horizontalScrollBar() : verticalScrollBar();
    scrollBy(orientation, ScrollAction::ThumbPosition, bar->sliderPosition());
}

void FormCanvas::scrollContentsBy(int, int) {
    // The page's position is the canvas's own (the offsets); the bars only report requests.
}

void FormCanvas::wheelEvent(QWheelEvent* event) {
    QPoint delta = event->angleDelta();
    if (event->modifiers() & Qt::ShiftModifier)
        delta = QPoint(delta.y(), delta.x());
    const auto turn = [this](Qt::Orientation orientation, int angle, int& rest) {
        rest += angle;
        const int notches = rest / 120;
        rest -= notches * 120;
        for (int i = 0; i < std::abs(notches) * kWheelLines; ++i)
            scrollBy(orientation, notches > 0 ? ScrollAction::LineUp : ScrollAction::LineDown, 0);
    };
    turn(Qt::Vertical, delta.y(), m_wheelRestY);
    turn(Qt::Horizontal, delta.x(), m_wheelRestX);
    event->accept();
}

void FormCanvas::resizeEvent(QResizeEvent*) {
    if (m_settingUpScrolling)
        return;
    const int x = m_view.offsetX;
    const int y = m_view.offsetY;
    recomputeScrolling();
    // The page did not move in the window: the next paint only copies the buffer.
    if (!m_buffer.isNull() && x == m_view.offsetX && y == m_view.offsetY)
        m_redraw = m_renderForced;
}

void FormCanvas::ensureBuffer() {
    const qreal ratio = devicePixelRatioF();
    QSize size = viewport()->size();
    if (const QScreen* desktop = screen())
        size = size.expandedTo(desktop->virtualSize());
    const QSize pixels(static_cast<int>(std::ceil(size.width() * ratio)),
                       static_cast<int>(std::ceil(size.height() * ratio)));
    if (!m_buffer.isNull() && m_buffer.devicePixelRatio() == ratio && m_buffer.width() >= pixels.width() &&
        m_buffer.height() >= pixels.height())
        return;
    m_buffer = QImage(pixels.expandedTo(m_buffer.isNull() ? QSize() : m_buffer.size()), QImage::Format_RGB32);
    m_buffer.setDevicePixelRatio(ratio);
    m_redraw = true;
}

long long FormCanvas::regionRenderCount() const {
    return m_regionRedraw->renders();
}

CanvasRenderer::Inputs FormCanvas::renderInputs() {
    return {m_document->model(), m_view, logicalDpiX(), logicalDpiY(), *m_bitmaps, &m_placeholder};
}

void FormCanvas::render() {
    const CanvasRenderer::Inputs inputs = renderInputs();
    const double scale = m_buffer.devicePixelRatio();
    CanvasRenderer::render(m_buffer, scale, inputs, &m_regionRedraw->stamps(inputs, scale));
    m_renderedView = m_view;
    m_regionRedraw->forget();
    ++m_renders;
}

std::optional<std::vector<QRect>> FormCanvas::boxesBeforeEdit(std::span<const SelectionEntry> entries) {
    if (m_buffer.isNull() || m_renderForced)
        return std::nullopt;
    return m_regionRedraw->boxesOf(renderInputs(), m_buffer.devicePixelRatio(), entries);
}

void FormCanvas::showEdit(std::span<const SelectionEntry> entries,
                          const std::optional<std::vector<QRect>>& before) {
    // Whatever asked for a full render since the boxes were taken wins.
    if (!before || m_buffer.isNull() || m_renderForced) {
        requestFullRedraw();
        return;
    }
    const double scale = m_buffer.devicePixelRatio();
    m_regionRedraw->add(*before, m_regionRedraw->boxesOf(renderInputs(), scale, entries), m_view, scale);
    // The marks are drawn on the window at every paint, from the buffer up.
    m_redraw = false;
    viewport()->update();
}

bool FormCanvas::showWithMarks(const QRect& source, std::span<const platform::Rect> marks) {
    if (m_shown.size() != source.size() || m_shown.format() != m_buffer.format())
        m_shown = QImage(source.size(), m_buffer.format());
    if (m_shown.isNull() || m_buffer.format() != QImage::Format_RGB32)
        return false;
    // Each band through an image of its own over the same pixels: the
    // threads share no image object.
    uchar* const shown = m_shown.bits();
    const uchar* const buffer = m_buffer.constBits();
    const qsizetype shownLine = m_shown.bytesPerLine();
    const qsizetype bufferLine = m_buffer.bytesPerLine();
    const std::size_t bytes = std::size_t(source.width()) * 4;
    m_regionRedraw->shareRows(source.height(), [&](int top, int bottom) {
        for (int y = top; y < bottom; ++y)
            std::memcpy(shown + y * shownLine,
                        buffer + (y + source.top()) * bufferLine + std::size_t(source.left()) * 4, bytes);
        QImage band(shown, source.width(), source.height(), shownLine, m_shown.format());
        ItemTracker::drawMarks(band, marks, QRect(0, top, source.width(), bottom - top));
    });
    return true;
}

void FormCanvas::paintEvent(QPaintEvent*) {
    ensureBuffer();
    const qreal ratio = m_buffer.devicePixelRatio();
    const QRect source(0, 0, static_cast<int>(std::ceil(viewport()->width() * ratio)),
                       static_cast<int>(std::ceil(viewport()->height() * ratio)));
    // A resize may come twice for one change of size, the second finding the
    // page where the first put it: the buffer then still shows it elsewhere.
    const bool moved = !samePlacement(m_renderedView, m_view);
    if (m_redraw || moved ||
        (m_regionRedraw->pending() && !m_regionRedraw->render(m_buffer, renderInputs(), source)))
        render();
    const std::vector<platform::Rect> marks = shownMarks();
    QPainter painter(viewport());
    // Many marks are written into a copy of the buffer, which the window
    // then shows: the painter's hatch costs more than the copy.
    if (ratio == 1 && marks.size() >= kMarksOnACopy && showWithMarks(source, marks)) {
        painter.drawImage(QPointF(0, 0), m_shown);
    } else {
        painter.drawImage(QPointF(0, 0), m_buffer, source);
        ItemTracker::drawMarks(painter, marks);
    }
    if (m_drag)
        ItemTracker::drawDragOutline(painter, m_drag->rect());
    m_redraw = true;
    m_renderForced = false;
}

void FormCanvas::onRecordsReplaced() {
    m_drag.reset();
    m_selection.clear();
    emit editStateChanged();
    const QString path = m_document->path();
    std::filesystem::path folder;
    if (!path.isEmpty())
        folder = QFileInfo(path).absolutePath().toStdString();
    m_bitmaps = std::make_unique<render::BitmapCache>(folder, render::BitmapCache::Failures::Silent);
    recomputeGeometry();
}

void FormCanvas::showFormAsItStands() {
    recomputeScrolling();
    requestFullRedraw();
}

void FormCanvas::newForm() {
    if (!m_document->confirmDiscard())
        return;
    m_document->newForm();
    showFormAsItStands();
}

bool FormCanvas::openForm() {
    if (!m_document->confirmDiscard())
        return false;
    const bool opened = m_document->openForm();
    showFormAsItStands();
    return opened;
}

bool FormCanvas::openFormFile(const QString& path) {
    if (!m_document->confirmDiscard())
        return false;
    const bool opened = m_document->openFormFile(path);
    showFormAsItStands();
    return opened;
}

bool FormCanvas::saveForm() {
    return m_document->saveForm();
}

bool FormCanvas::saveFormAs() {
    return m_document->saveFormAs();
}

bool FormCanvas::canClose() {
    if (!m_document->canClose())
        return false;
    m_buffer = QImage();
    return true;
}

void FormCanvas::showPreview() {
    runBridge(RuntimeMode::Preview);
}

void FormCanvas::printForm() {
    runBridge(RuntimeMode::Print);
}

void FormCanvas::runBridge(RuntimeMode mode) {
    RuntimeBridge bridge;
    bridge.run(m_document->model(), m_document->path(), mode, static_cast<std::uintptr_t>(winId()));
}

} // namespace editor
