#pragma once

#include <cstdint>
#include <string>
#include <string_view>

#include "editor/papers/SheetLayout.h"
#include "formdesc/FormModel.h"
#include "platform/PageTarget.h"

class QImage;

namespace render {
class BitmapCache;
struct RenderContext;
} // namespace render

// Prints the design sheet (a numbered grid paper with a header for name,
// date and remarks, and the form drawn on it as on the canvas) and the entry
// sheet (the same grid paper, empty) as one page on a page target. The
// drawing steps are render/'s, with the sheet's grid standing in for the
// form's page.
namespace editor {

struct SheetSettings {
    int kind = kSheetLandscape;
    std::string name;    // Shift-JIS, at most 29 bytes
    int date = 0;        // year x 10000 + month x 100 + day; 0 for none
    std::string remarks; // Shift-JIS, at most 59 bytes
    bool frameFields = false;
    // The box "網掛けを印刷しない": ticked, the rectangle fills and field
    // meshes are left out, as its caption says.
    bool noFills = false;
};

enum class SheetResult {
    Printed,
    CannotStart, // the document could not be started
    Unfinished,  // the page was drawn but the output could not be completed
};

class SheetPrinter {
  public:
    static constexpr int kNameBytes = 29;
    static constexpr int kRemarksBytes = 59;

    // dmPaperSize is the paper the output offers; only A4 and B4 are used,
    // anything else becomes A4.
    SheetPrinter(platform::PageTarget& target, int kind, int dmPaperSize);

    const SheetLayout& layout() const { return m_layout; }

    SheetResult printEntrySheet();
    // formFolder: where relative bitmap paths are looked up. placeholder is
    // drawn for a bitmap that cannot be read; may be null.
    SheetResult printDesignSheet(const formdesc::FormModel& model, const SheetSettings& settings,
                                 render::BitmapCache& bitmaps, const QImage* placeholder);

    // "設計用紙 [<name>]" and "記入用紙", UTF-8.
    static std::string designJobName(std::string_view sjisName);
    static std::string entryJobName();

    // The sheet's text in Shift-JIS cut to at most maxBytes whole characters.
    static std::string cutText(std::string_view sjis, int maxBytes);

  private:
    // The sheet's cell over the form's, both in the sheet's logical units.
    struct TextScale {
        std::int64_t sheet = 1;
        std::int64_t form = 1;
    };

    bool begin(const std::string& jobName);
    SheetResult end();
    void prepare();
    void restore();

    void drawGridPaper();
    void drawFineGrid(const render::RenderContext& context);
    void drawHeaderValues(const SheetSettings& settings);
    void drawFills(const render::RenderContext& context, const formdesc::FormModel& model);
    void drawFields(const render::RenderContext& context, const formdesc::FormModel& model,
                    const SheetSettings& settings);
    TextScale textScale(const formdesc::FormInfo& form) const;

    // Between grid points, with the selected pen.
    void gridLine(int col1, int row1, int col2, int row2);
    // The four sides in the order left, bottom, right, top.
    void frame(const platform::Rect& box);
    void gridFrame(int col1, int row1, int col2, int row2);
    // One line of text in the box, vertically centred, from its left edge or centred.
    void plainText(std::string_view sjis, const platform::Rect& box, bool centred);
    platform::LogFont sheetFont(std::string_view utf8Face, int sizeTenths) const;

    platform::PageTarget& m_target;
    SheetLayout m_layout;
    formdesc::FormInfo m_base{}; // the sheet's own font and colours
    platform::DeviceContext* m_dc = nullptr;
    platform::Pen m_savedPen;
    platform::LogFont m_savedFont;
    platform::ColorRef m_savedColor = 0;
};

} // namespace editor
