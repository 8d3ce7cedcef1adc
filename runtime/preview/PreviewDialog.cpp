#include "runtime/preview/PreviewDialog.h"

#include <QBoxLayout>
#include <QComboBox>
#include <QFrame>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QSignalBlocker>
#include <QSpinBox>
#include <QTimer>

#include <algorithm>
#include <limits>

#include "runtime/preview/PageView.h"
#include "runtime/preview/PreviewButton.h"
#include "runtime/preview/PreviewPages.h"
#include "runtime/preview/PreviewRules.h"

namespace runtime {

namespace {

// The page number box takes any digits; Enter, the arrows or leaving the
// box bring the number into 1..page count and write it back.
class PageNumberBox : public QSpinBox {
  public:
    using QSpinBox::QSpinBox;

    QValidator::State validate(QString& text, int&) const override {
        for (const QChar c : text)
            if (!c.isDigit())
                return QValidator::Invalid;
        return text.isEmpty() ? QValidator::Intermediate : QValidator::Acceptable;
    }

    // Any number of digits; the box's range settles it.
    int valueFromText(const QString& text) const override {
        bool ok = false;
        const qlonglong value = text.toLongLong(&ok);
        if (!ok)
            return text.isEmpty() ? 0 : std::numeric_limits<int>::max();
        return static_cast<int>(std::clamp<qlonglong>(value, 0, std::numeric_limits<int>::max()));
    }
};

QString fromUtf8(std::string_view text) {
    return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

} // namespace

PreviewDialog::PreviewDialog(PreviewPages& pages, TargetChooser printChooser, QWidget* parent)
    : QDialog(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                          Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      m_pages(pages), m_printChooser(std::move(printChooser)) {
    const ControlOptions& options = m_pages.options();
    const int zoom = options.scaleAuto ? 0 : settleScale(options.scale);
    m_view = new PageView(m_pages, zoom, this);
    m_view->setObjectName(QStringLiteral("pageView"));
    // The grid is laid out for the screen the page view shows on.
    m_pages.setResolution(m_view->logicalDpiX(), m_view->logicalDpiY());

    const std::string title = m_pages.title();
    setWindowTitle(QStringLiteral("プレビュー［%1］")
                       .arg(title.empty() ? QStringLiteral("un-titled") : fromUtf8(title)));

    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    separator->setFrameShadow(QFrame::Sunken);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(0);
    layout->addLayout(createToolbar());
    layout->addWidget(separator);
    layout->addWidget(m_view, 1);

    m_view->setZoomChangedHandler([this](int changed) { showZoom(changed); });
    m_view->setPaintedHandler([this] { painted(); });
    if (zoom > 0)
        showZoom(zoom);
    updateNavigation();
}

PreviewDialog::~PreviewDialog() = default;

QLayout* PreviewDialog::createToolbar() {
    auto* bar = new QHBoxLayout;
    bar->setContentsMargins(4, 3, 4, 3);
    bar->setSpacing(3);
    auto button = [this, bar](PreviewPicture picture, const char* caption, const char* name) {
        auto* created = new PreviewButton(picture, QString::fromUtf8(caption), this);
        created->setObjectName(QLatin1String(name));
        bar->addWidget(created);
        return created;
    };

    m_printButton = button(PreviewPicture::Print, "印刷", "printButton");
    m_zoomModeButton = button(PreviewPicture::ZoomOff, "拡大/縮小", "zoomModeButton");
    m_zoomModeButton->setCheckable(true);
    m_zoomModeButton->setCheckedPicture(PreviewPicture::ZoomOn);
    bar->addSpacing(4);
    bar->addWidget(new QLabel(QStringLiteral("表示倍率"), this));
    m_zoomList = new QComboBox(this);
    m_zoomList->setObjectName(QStringLiteral("zoomList"));
    m_zoomList->setEditable(true);
    m_zoomList->setInsertPolicy(QComboBox::NoInsert);
    m_zoomList->setCompleter(nullptr); // a typed "1" must stay 1, not become "150%"
    for (const preview::ZoomEntry& entry : preview::kZoomList)
        m_zoomList->addItem(fromUtf8(entry.label));
    m_zoomList->setMinimumContentsLength(7);
    bar->addWidget(m_zoomList);
    bar->addSpacing(6);
    m_firstButton = button(PreviewPicture::FirstPage, "先頭ページ", "firstPageButton");
    m_previousButton = button(PreviewPicture::PreviousPage, "前ページ", "previousPageButton");
    m_nextButton = button(PreviewPicture::NextPage, "次ページ", "nextPageButton");
    m_lastButton = button(PreviewPicture::LastPage, "最終ページ", "lastPageButton");
    bar->addSpacing(4);
    bar->addWidget(new QLabel(QStringLiteral("ページ"), this));
    m_pageNumber = new PageNumberBox(this);
    m_pageNumber->setObjectName(QStringLiteral("pageNumber"));
    m_pageNumber->setKeyboardTracking(false);
    m_pageNumber->setCorrectionMode(QAbstractSpinBox::CorrectToNearestValue);
    m_pageNumber->setRange(1, 1);
    m_pageNumber->setValue(m_pages.currentPage());
    m_pageNumber->setMinimumWidth(64);
    bar->addWidget(m_pageNumber);
    bar->addSpacing(4);
    m_closeButton = button(PreviewPicture::Close, "閉じる", "closeButton");
    bar->addStretch(1);

    connect(m_printButton, &QAbstractButton::clicked, this, [this] { print(); });
    connect(m_zoomModeButton, &QAbstractButton::toggled, this, [this](bool on) { m_view->setZoomMode(on); });
    connect(m_zoomList, &QComboBox::activated, this, [this](int index) { zoomListActivated(index); });
    connect(m_zoomList->lineEdit(), &QLineEdit::returnPressed, this, [this] { zoomTyped(); });
    connect(m_firstButton, &QAbstractButton::clicked, this, [this] {
        if (currentPage() != 1)
            goToPage(1);
    });
    connect(m_previousButton, &QAbstractButton::clicked, this, [this] {
        if (currentPage() != 1)
            goToPage(currentPage() - 1);
    });
    connect(m_nextButton, &QAbstractButton::clicked, this, [this] {
        if (!m_pages.isLastPage())
            goToPage(currentPage() + 1);
    });
    connect(m_lastButton, &QAbstractButton::clicked, this, [this] {
        if (!m_pages.isLastPage())
            goToPage(m_pages.pageCount());
    });
    connect(m_pageNumber, &QSpinBox::valueChanged, this, [this](int typed) { pageNumberChanged(typed); });
    connect(m_closeButton, &QAbstractButton::clicked, this, &QDialog::accept);
    return bar;
}

bool PreviewDialog::buildPageIndex() {
    if (!m_pages.buildIndex())
        return false;
    {
        const QSignalBlocker blocker(m_pageNumber);
        m_pageNumber->setRange(1, std::max(m_pages.pageCount(), 1));
        m_pageNumber->setValue(m_pages.currentPage());
    }
    updateNavigation();
    return true;
}

bool PreviewDialog::goToPage(int pageNumber) {
    if (!m_pages.goTo(pageNumber))
        return false;
    {
        const QSignalBlocker blocker(m_pageNumber);
        m_pageNumber->setValue(pageNumber);
    }
    updateNavigation();
    m_view->refresh();
    return true;
}

int PreviewDialog::currentPage() const {
    return m_pages.currentPage();
}

int PreviewDialog::zoom() const {
    return m_view->zoom();
}

void PreviewDialog::pageNumberChanged(int typed) {
    const int page = preview::settlePageNumber(typed, m_pages.pageCount());
    if (page == currentPage())
        return;
    if (!goToPage(page)) {
        // The page on show stays, and so does its number.
        const QSignalBlocker blocker(m_pageNumber);
        m_pageNumber->setValue(currentPage());
    }
}

void PreviewDialog::updateNavigation() {
    const preview::NavigationState state = preview::navigationState(currentPage(), m_pages.pageCount());
    m_firstButton->setEnabled(state.first);
    m_previousButton->setEnabled(state.first);
    m_nextButton->setEnabled(state.last);
    m_lastButton->setEnabled(state.last);
    m_pageNumber->setEnabled(state.pageBox);
}

void PreviewDialog::applyZoom(int zoom) {
    showZoom(zoom);
    m_view->setZoom(zoom);
}

// A zoom of the list is shown as its entry, any other as typed text.
void PreviewDialog::showZoom(int zoom) {
    const QSignalBlocker blocker(m_zoomList);
    if (const auto entry = preview::zoomListEntry(zoom)) {
        m_zoomList->setCurrentIndex(*entry);
        m_zoomList->setEditText(m_zoomList->itemText(*entry));
    } else {
        m_zoomList->setEditText(QStringLiteral("%1%").arg(zoom));
    }
}

void PreviewDialog::zoomListActivated(int index) {
    if (index < 0 || index >= static_cast<int>(preview::kZoomList.size()))
        return;
    if (index == preview::kWholePageEntry)
        applyZoom(m_view->wholePageZoom());
    else
        applyZoom(preview::kZoomList[static_cast<std::size_t>(index)].zoom);
}

void PreviewDialog::zoomTyped() {
    if (const auto zoom = preview::typedZoom(m_zoomList->currentText().toStdString()))
        applyZoom(*zoom);
}

void PreviewDialog::print() {
    if (m_printChooser) {
        // An empty control statement: the print dialog is always shown and
        // there is no abort dialog. The job shows its own messages.
        // The pages are read from what the preview reads (already code page
        // 932); the print offset of the preview's statement applies.
        PPModule job(m_pages.formPath(), m_pages.dataPath(), "");
        CallerOptions offset;
        offset.xOffset = m_pages.options().xOffset;
        offset.yOffset = m_pages.options().yOffset;
        job.setCallerOptions(offset);
        job.run(m_printChooser);
    }
    if (m_pages.options().print == PrintRequest::PrintAndClose)
        accept();
}

// PRINT=ON and PRINT=ONLY print once, after the first page has been shown.
void PreviewDialog::painted() {
    if (m_autoPrintPosted || m_pages.options().print == PrintRequest::None)
        return;
    m_autoPrintPosted = true;
    QTimer::singleShot(0, this, [this] { print(); });
}

// Enter never closes the preview (it confirms a typed zoom or page number);
// Escape and the close box close it as QDialog does.
void PreviewDialog::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace runtime
