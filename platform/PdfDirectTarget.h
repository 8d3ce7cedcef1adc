#pragma once

#include "platform/PageTarget.h"

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// A PDF file written directly, without QPdfWriter: the same pages as
// PdfPageTarget (paper, device units, the printable-area offset, glyph
// positions), in compact content streams compressed for speed. Each page is
// written to the file as it ends; fonts are embedded as subsets at the end.
//
// Pages are drawn on lanes (PdfPageLane): the target's own for beginPage and
// endPage, or one per worker thread (openLane). Either way the document puts
// the drawn pages in, in page order, replaying what each lane met for the
// first time, so the file is the same whichever lane drew which page.
namespace platform {

class PdfDeflater;
class PdfEmbeddedFont;
class PdfFileWriter;
class PdfPageLane;
class PdfSharedNames;
struct PdfDrawnPage;

class PdfDirectTarget : public PageTarget {
  public:
    PdfDirectTarget(std::string path, PaperTenths paper, int dpi);
    ~PdfDirectTarget() override;

    bool beginDocument(const std::string& utf8Name) override;
    void beginPage() override;
    void endPage() override;
    bool endDocument() override;
    DeviceContext& deviceContext() override;
    int dpiX() const override { return m_dpi; }
    int dpiY() const override { return m_dpi; }
    PaperTenths paper() const override { return m_paper; }
    std::string errorText() const override;
    bool hasLanes() const override { return true; }
    std::unique_ptr<PageLane> openLane() override;
    void putPage(std::unique_ptr<DrawnPage> page) override;

    // Bytes written so far (for benchmarks).
    long long bytesWritten() const;

  private:
    double widthPoints() const;
    double heightPoints() const;
    void replay(const PdfDrawnPage& page);
    std::string named(const PdfDrawnPage& page) const;
    void writeResources();

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
    std::unique_ptr<PdfFileWriter> m_file;
    std::unique_ptr<PdfDeflater> m_deflater;
    std::unique_ptr<PdfSharedNames> m_names;
    std::unique_ptr<PdfPageLane> m_lane;
    // The faces in the order they were first taken up (F1, F2, ...), and the
    // images in the order they were first drawn, as object numbers.
    std::vector<std::unique_ptr<PdfEmbeddedFont>> m_faces;
    std::unordered_map<std::string, std::size_t> m_faceIndex;
    std::vector<int> m_images;
    std::unordered_map<std::string, int> m_imageObject;
};

} // namespace platform
