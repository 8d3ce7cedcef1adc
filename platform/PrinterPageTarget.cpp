#include "platform/PrinterPageTarget.h"

#include "platform/QtPainterBackend.h"

#include <QDir>
#include <QFileInfo>
#include <QPainter>
#include <QPrintEngine>
#include <QPrinter>
#include <QTemporaryFile>

#include <cups/cups.h>

namespace platform {

namespace {

// Frees an option array of libcups when it goes out of scope.
class CupsOptions {
  public:
    CupsOptions() = default;
    ~CupsOptions() { cupsFreeOptions(m_count, m_options); }
    CupsOptions(const CupsOptions&) = delete;
    CupsOptions& operator=(const CupsOptions&) = delete;

    void add(const QByteArray& name, const QByteArray& value) {
        m_count = cupsAddOption(name.constData(), value.constData(), m_count, &m_options);
    }
    int count() const { return m_count; }
    cups_option_t* data() const { return m_options; }

  private:
    int m_count = 0;
    cups_option_t* m_options = nullptr;
};

// The key under which Qt's print dialog leaves the CUPS job options it
// collected (banner pages, pages per sheet, priority, ...) on the print
// engine: Qt's private PPK_CupsOptions, a custom engine property.
constexpr auto kCupsOptionsKey = QPrintEngine::PrintEnginePropertyKey(0xfe00);

const char* sidesOption(QPrinter::DuplexMode duplex, QPageLayout::Orientation orientation) {
    switch (duplex) {
    case QPrinter::DuplexNone:
        return "one-sided";
    case QPrinter::DuplexAuto:
        return orientation == QPageLayout::Portrait ? "two-sided-long-edge" : "two-sided-short-edge";
    case QPrinter::DuplexLongSide:
        return "two-sided-long-edge";
    case QPrinter::DuplexShortSide:
        return "two-sided-short-edge";
    }
    return "one-sided";
}

} // namespace

int PrinterPageTarget::dmPaperCode(const QPageSize& size) {
    switch (size.id()) {
    case QPageSize::A3:
        return formdesc::kDmPaperA3;
    case QPageSize::A5:
        return formdesc::kDmPaperA5;
    case QPageSize::JisB4:
        return formdesc::kDmPaperB4;
    case QPageSize::JisB5:
        return formdesc::kDmPaperB5;
    default:
        return 9; // A4
    }
}

PrinterPageTarget::PrinterPageTarget(std::unique_ptr<QPrinter> printer, int direction)
    : m_printer(std::move(printer)) {
    // The paper stays what the printer was set to; only its orientation follows the form.
    m_paper = formdesc::printerPaper(dmPaperCode(m_printer->pageLayout().pageSize()), direction);
    m_printer->setPageOrientation(
        m_paper.orientation == formdesc::kDmOrientPortrait ? QPageLayout::Portrait : QPageLayout::Landscape);
    // The origin is the printable area's corner. Qt recomputes the margins
    // whenever the page size, orientation or printer changes, so they go last.
    m_printer->setFullPage(false);
    const QPageLayout layout = m_printer->pageLayout();
    m_printer->setPageMargins(layout.minimumMargins(), layout.units());
    m_dpiX = m_printer->resolution();
    m_dpiY = m_printer->resolution();
}

PrinterPageTarget::~PrinterPageTarget() {
    m_dc.reset();
    m_backend.reset();
    // A document left open is dropped: nothing reaches the spooler.
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

bool PrinterPageTarget::beginDocument(const std::string& utf8Name) {
    m_title = utf8Name;
    if (!m_printer->isValid()) {
        m_error = "the printer " + m_printer->printerName().toStdString() + " is not available";
        return false;
    }
    // No ".pdf" suffix: that would turn the printer into a plain PDF writer
    // with its own page size.
    m_file = std::make_unique<QTemporaryFile>(QDir::tempPath() + QStringLiteral("/zrk-print-XXXXXX.job"));
    if (!m_file->open()) {
        m_error = "cannot create the print file in " + QDir::tempPath().toStdString() + ": " +
                  m_file->errorString().toStdString();
        return false;
    }
    m_printer->setOutputFileName(m_file->fileName());
    m_printer->setDocName(QString::fromStdString(utf8Name));
    m_printer->setCreator(QStringLiteral("tabrik zrk"));
    m_painter = std::make_unique<QPainter>();
    if (!m_painter->begin(m_printer.get())) {
        m_error = "the printer " + m_printer->printerName().toStdString() + " cannot start a document";
        return false;
    }
    m_backend = std::make_unique<QtPainterBackend>(*m_painter, m_dpiX, m_dpiY);
    m_dc = std::make_unique<DeviceContext>(*m_backend);
    return true;
}

void PrinterPageTarget::beginPage() {
    // The printer opens the first page itself.
    if (m_pages++ > 0)
        m_printer->newPage();
}

void PrinterPageTarget::endPage() {
    m_backend->flush();
}

bool PrinterPageTarget::endDocument() {
    m_backend->flush();
    if (!m_painter->end() || m_printer->printerState() == QPrinter::Error) {
        m_error = "the printer " + m_printer->printerName().toStdString() + " could not finish the document";
        return false;
    }
    // Stopped before the first page: the blank page the printer opened by
    // itself is not sent.
    if (m_pages == 0)
        return true;
    return submit();
}

bool PrinterPageTarget::submit() {
    const QPageLayout layout = m_printer->pageLayout();
    CupsOptions options;
    options.add("media", layout.pageSize().key().toUtf8());
    options.add("sides", sidesOption(m_printer->duplex(), layout.orientation()));
    if (m_printer->copyCount() > 1) {
        options.add("copies", QByteArray::number(m_printer->copyCount()));
        if (m_printer->collateCopies())
            options.add("Collate", "True");
    }
    // Options the print dialog's property pages set (name, value pairs).
    const QStringList dialogOptions = m_printer->printEngine()->property(kCupsOptionsKey).toStringList();
    for (qsizetype i = 0; i + 1 < dialogOptions.size(); i += 2)
        options.add(dialogOptions[i].toUtf8(), dialogOptions[i + 1].toUtf8());

    // A queue instance ("queue/instance") is printed on its queue.
    const QByteArray queue = m_printer->printerName().section(QLatin1Char('/'), 0, 0).toUtf8();
    const QByteArray path = QFile::encodeName(m_file->fileName());
    const int jobId = cupsPrintFile2(CUPS_HTTP_DEFAULT, queue.constData(), path.constData(), m_title.c_str(),
                                     options.count(), options.data());
    if (jobId == 0) {
        m_error = "the print system refused the job on " + queue.toStdString() + ": " + cupsLastErrorString();
        return false;
    }
    if (m_receipt)
        *m_receipt = {queue.toStdString(), jobId, QFileInfo(m_file->fileName()).size()};
    return true;
}

} // namespace platform
