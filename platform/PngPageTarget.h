#pragma once

#include "platform/PageTarget.h"

#include <memory>
#include <string>
#include <vector>

// A page target that writes one PNG image per page through an OutputFile (PDF
// documents are written by PdfDirectTarget).
namespace platform {

class PngPageLane;

class PngPageTarget : public PageTarget {
  public:
    // pattern holds one printf conversion for the page number (see
    // isValidPagePattern). The first page drawn takes firstPageNumber: a part
    // of a job keeps the job's page numbers in its file names.
    PngPageTarget(std::string pattern, PaperTenths paper, int dpi, int firstPageNumber = 1);
    ~PngPageTarget() override;

    bool beginDocument(const std::string& utf8Name) override;
    void beginPage() override;
    void endPage() override;
    bool endDocument() override;
    DeviceContext& deviceContext() override;
    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    PaperTenths paper() const override { return m_paper; }
    std::string errorText() const override { return m_error; }
    bool outputFailed() const override { return m_failed; }
    bool hasLanes() const override { return true; }
    std::unique_ptr<PageLane> openLane() override;
    void putPage(std::unique_ptr<DrawnPage> page) override;

    // The file name of a page (from 1).
    std::string pagePath(int page) const;
    // The page files of the pattern that exist now, whatever their number.
    std::vector<std::string> existingPagePaths() const;
    // True when the pattern holds exactly one integer conversion (%d, %03d,
    // %i, ...) and otherwise only "%%".
    static bool isValidPagePattern(const std::string& pattern);

  private:
    std::string m_pattern;
    PaperTenths m_paper;
    int m_dpi;
    int m_pages = 0;
    bool m_failed = false;
    std::string m_error;
    int m_width = 0; // of the page images, in pixels
    int m_height = 0;
    std::unique_ptr<PngPageLane> m_lane; // the target's own, for beginPage and endPage
};

} // namespace platform
