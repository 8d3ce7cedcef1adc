#pragma once

#include "formdesc/PageGeometry.h"
#include "platform/PageTarget.h"

#include <memory>
#include <string>

class QPainter;
class QPageSize;
class QPrinter;
class QTemporaryFile;

// A page target on a CUPS printer. The printer keeps the paper it was set to
// (by its own defaults or in the print dialog); only the orientation is turned
// to the form's direction. The drawing origin is the corner of the printable
// area.
//
// Qt's CUPS engine hands the finished document to the spooler and drops the
// spooler's answer, so the document is written to a temporary file of ours
// and submitted here: a queue that refuses the job is then a failure with the
// print system's words instead of a silent success.
namespace platform {

class QtPainterBackend;

// What the spooler took: filled in when a document was handed over.
struct SpoolReceipt {
    std::string queue;
    int jobId = 0;
    long long bytes = 0; // size of the document handed over
};

class PrinterPageTarget : public PageTarget {
  public:
    // The printer must name a CUPS queue; direction is the form's
    // (formdesc::kDirectionPortrait or landscape).
    PrinterPageTarget(std::unique_ptr<QPrinter> printer, int direction);
    ~PrinterPageTarget() override;

    bool beginDocument(const std::string& utf8Name) override;
    void beginPage() override;
    void endPage() override;
    bool endDocument() override;
    DeviceContext& deviceContext() override { return *m_dc; }
    int dpiX() const override { return m_dpiX; }
    int dpiY() const override { return m_dpiY; }
    PaperTenths paper() const override { return {m_paper.width, m_paper.height}; }
    std::string errorText() const override { return m_error; }

    // Where to note what the spooler took; may be null. Must outlive the target.
    void setReceipt(SpoolReceipt* receipt) { m_receipt = receipt; }
    const QPrinter& printer() const { return *m_printer; }

    // The Windows paper code the runtime's paper table is keyed by, for a
    // page size of the printer: A3, A5, B4 and B5 (JIS) by their codes,
    // everything else A4.
    static int dmPaperCode(const QPageSize& size);

  private:
    bool submit();

    std::unique_ptr<QPrinter> m_printer;
    formdesc::PrinterPaper m_paper;
    int m_dpiX = 0;
    int m_dpiY = 0;
    int m_pages = 0;
    SpoolReceipt* m_receipt = nullptr;
    std::string m_title;
    std::string m_error;
    std::unique_ptr<QTemporaryFile> m_file;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QtPainterBackend> m_backend;
    std::unique_ptr<DeviceContext> m_dc;
};

} // namespace platform
