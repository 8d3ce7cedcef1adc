#pragma once

#include "platform/PageTarget.h"

#include <memory>
#include <string>
#include <vector>

// A PDF file written directly, without QPdfWriter: the same pages as
// PdfPageTarget (paper, device units, the printable-area offset, glyph
// positions), in compact content streams compressed for speed. Each page is
// written to the file as it ends; fonts are embedded as subsets at the end.
namespace platform {

class PdfDeflater;
class PdfDirectBackend;
class PdfFileWriter;

class PdfDirectTarget : public PageTarget {
  public:
    PdfDirectTarget(std::string path, PaperTenths paper, int dpi);
    ~PdfDirectTarget() override;

    bool beginDocument(const std::string& utf8Name) override;
    void beginPage() override;
    void endPage() override;
    bool endDocument() override;
    DeviceContext& deviceContext() override { return *m_dc; }
    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    PaperTenths paper() const override { return m_paper; }
    std::string errorText() const override;

    // Bytes written so far (for benchmarks).
    long long bytesWritten() const;

  private:
    double widthPoints() const;
    double heightPoints() const;

    std::string m_path;
    PaperTenths m_paper;
    int m_dpi;
    std::string m_title;
    std::string m_error;
    bool m_pageOpen = false;
    std::vector<int> m_pages; // page object numbers
    int m_catalog = 0;
    int m_pageTree = 0;
    int m_resources = 0;
    int m_info = 0;
    std::string m_packed;
    std::unique_ptr<PdfFileWriter> m_file;
    std::unique_ptr<PdfDeflater> m_deflater;
    std::unique_ptr<PdfDirectBackend> m_backend;
    std::unique_ptr<DeviceContext> m_dc;
};

} // namespace platform
