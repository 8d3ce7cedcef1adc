#pragma once

#include <filesystem>
#include <memory>

#include "BitmapCache.h"
#include "FormModel.h"
#include "PageBuffer.h"
#include "RenderContext.h"

// Composing one page of a job from the form and the page buffer, in the fixed
// order: rectangle fills, field shading (tag mode), figures, constant texts,
// field texts, free text. One composer lives for one job: it keeps the job's
// bitmaps and it empties the file name of a bitmap it could not use, so the
// model it is given must be the job's own copy.
namespace runtime {

// The device context state that a job sets up once before composing: the
// base font, the form's text colour and the default pen of the mode. The
// state found before is put back on destruction.
class PreparedDeviceContext {
public:
    PreparedDeviceContext(platform::DeviceContext& dc, const formdesc::FormInfo& form, RenderMode mode, int dpiY);
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
    // formFolder: where relative bitmap paths are looked up after the
    // current directory (the form file's folder).
    explicit PageComposer(formdesc::FormModel& model, std::filesystem::path formFolder = {});
    ~PageComposer();

    // Draws the page on context.dc, whose mapping is set and which has been
    // prepared (PreparedDeviceContext). Constant texts are written into page;
    // in the preview the field and free texts are drawn from a working copy,
    // so that the page can be composed again for the next repaint.
    void composePage(const RenderContext& context, PageBuffer& page);

    // Fonts that fields selected in the last composition.
    int fieldFontsCreated() const { return m_fieldFontsCreated; }

private:
    void drawFills(const RenderContext& context);
    void drawFigures(const RenderContext& context);
    void applyConstantTexts(PageBuffer& page) const;
    void drawTexts(const RenderContext& context, PageBuffer& page);

    formdesc::FormModel& m_model;
    BitmapCache m_bitmaps;
    std::unique_ptr<PageBuffer> m_workingCopy;
    int m_fieldFontsCreated = 0;
};

} // namespace runtime
