#pragma once

#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "formdesc/FormModel.h"
#include "render/BarcodeCache.h"
#include "render/BitmapCache.h"
#include "render/RenderContext.h"
#include "runtime/data/PageBuffer.h"

// Composing one page of a job from the form and the page buffer, in the fixed
// order: rectangle fills, field shading (tag mode), figures and barcodes,
// field texts (constant texts included), free text. One composer lives for
// one job: it keeps the job's bitmaps and barcode symbols, so that each file
// is read and each content encoded once, and each failing barcode is
// reported once.
namespace runtime {

// The device context state that a job sets up once before composing: the
// base font, the form's text colour and the default pen of the mode. The
// state found before is put back on destruction.
class PreparedDeviceContext {
  public:
    PreparedDeviceContext(platform::DeviceContext& dc, const formdesc::FormInfo& form,
                          const render::RenderPolicy& policy, int dpiY);
    ~PreparedDeviceContext();
    PreparedDeviceContext(const PreparedDeviceContext&) = delete;
    PreparedDeviceContext& operator=(const PreparedDeviceContext&) = delete;

  private:
    platform::DeviceContext& m_dc;
    platform::LogFont m_font;
    platform::Pen m_pen;
    formdesc::ColorRef m_textColor;
};

class PageComposer {
  public:
    // Print consumes each page; the preview composes the same page again for
    // every repaint.
    enum class PageUse { Consume, Recompose };

    // formFolder: where relative bitmap paths are looked up first (the form
    // file's folder), before the current directory.
    explicit PageComposer(const formdesc::FormModel& model, std::filesystem::path formFolder = {},
                          PageUse use = PageUse::Consume);
    ~PageComposer();

    // Draws the page on context.dc, whose mapping is set and which has been
    // prepared (PreparedDeviceContext). Constant texts are written into page;
    // when pages are recomposed the field and free texts are drawn from a
    // working copy, so that the page can be composed again for the next repaint.
    // pageNumber names the page in a barcode's warning.
    void composePage(const render::RenderContext& context, PageBuffer& page, int pageNumber = 0);

    // A recomposing composer (the preview draws inside a paint event) keeps
    // its barcode warnings until the caller shows them, outside the painting;
    // so does one that draws on a worker thread (holdWarnings), whose caller
    // takes them with the page.
    struct HeldWarning {
        int figureIndex = 0;
        std::string text;
    };
    void holdWarnings() { m_holdWarnings = true; }
    bool hasPendingWarnings() const { return !m_pendingWarnings.empty(); }
    void showPendingWarnings();
    std::vector<HeldWarning> takePendingWarnings();

    // Fonts that fields selected in the last composition.
    int fieldFontsCreated() const { return m_fieldFontsCreated; }

  private:
    void drawFills(const render::RenderContext& context);
    void drawFigures(const render::RenderContext& context, const PageBuffer& page, int pageNumber);
    void warnBarcode(int figureIndex, int pageNumber, const std::string& reason);
    void applyConstantTexts(PageBuffer& page) const;
    void drawTexts(const render::RenderContext& context, PageBuffer& page);

    const formdesc::FormModel& m_model;
    render::BitmapCache m_bitmaps;
    render::BarcodeCache m_barcodes;
    std::vector<bool> m_barcodeWarned; // by figure index
    std::vector<HeldWarning> m_pendingWarnings;
    bool m_holdWarnings = false;
    PageUse m_use;
    std::unique_ptr<PageBuffer> m_workingCopy;
    int m_fieldFontsCreated = 0;
};

} // namespace runtime
