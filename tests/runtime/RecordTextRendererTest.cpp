#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <vector>

#include "formdesc/ShiftJis.h"
#include "runtime/compose/RecordTextRenderer.h"
#include "runtime/data/PageBuffer.h"
#include "tests/support/RecordingBackend.h"

using render::FieldRenderer;
using render::RenderContext;
using render::RenderPolicy;
using runtime::DataRecord;
using runtime::RecordTextRenderer;
using testsupport::RecordingBackend;

namespace {

using Call = RecordingBackend::Call;

// At 720 dpi a font of s tenths of a point is s units high, so the base font
// of size 40 gives characters 40 high and 20 wide: exactly one cell.
constexpr int kDpi = 720;
constexpr formdesc::PageGeometry kGrid{20, 40, 100, 50, 5000, 4000};
constexpr formdesc::ColorRef kBlue = formdesc::rgb(0, 0, 255);
constexpr formdesc::ColorRef kRed = formdesc::rgb(255, 0, 0);

formdesc::FormInfo baseForm() {
    formdesc::FormInfo form{};
    form.columns = 20;
    form.rows = 10;
    formdesc::sjis::storeWhole(form.fontName, sizeof form.fontName, "Mincho");
    form.fontSize = 40;
    form.textColor = kBlue;
    return form;
}

// A 10-column field from column 3 in the base font and colour.
formdesc::FieldInfo field10() {
    formdesc::FieldInfo field{};
    field.startCol = 3;
    field.endCol = 12;
    field.startRow = field.endRow = 2;
    formdesc::sjis::storeWhole(field.fontName, sizeof field.fontName, "Mincho");
    field.fontSize = 40;
    field.textColor = kBlue;
    return field;
}

DataRecord recordOf(std::string_view line, int columns = 20) {
    DataRecord record{};
    runtime::fillDataRecord(record, line, columns, false);
    return record;
}

// The device context in text mode (one unit, one pixel) with the base font
// and colour selected, as a job prepares it.
struct Canvas {
    RecordingBackend backend{kDpi, kDpi};
    platform::DeviceContext dc{backend};
    formdesc::FormInfo form = baseForm();
    RenderContext context{dc, kGrid, RenderPolicy::print(form), kDpi};
    RecordTextRenderer renderer{context, form};

    Canvas() {
        dc.selectFont(FieldRenderer::baseFont(form, kDpi));
        dc.setTextColor(form.textColor);
        dc.selectPen({platform::PenStyle::Dash, 3, kBlue});
    }

    // Composition step 5 for one field and record, at row 2.
    void drawField(const formdesc::FieldInfo& field, std::string_view line) {
        const DataRecord record = recordOf(line);
        renderer.text().selectFieldStyle(field);
        renderer.drawFieldText(field, record, 2);
        renderer.text().restoreStyle();
    }
};

struct Glyph {
    std::string text;
    platform::Rect cell;
    bool operator==(const Glyph&) const = default;
};

std::ostream& operator<<(std::ostream& out, const Glyph& g) {
    return out << "'" << g.text << "' (" << g.cell.left << "," << g.cell.top << ")-(" << g.cell.right << ","
               << g.cell.bottom << ")";
}

std::vector<Glyph> glyphs(const RecordingBackend& backend) {
    std::vector<Glyph> result;
    for (const Call& call : backend.of(Call::Char))
        result.push_back({formdesc::sjis::toUtf8(call.text), call.rect});
    return result;
}

std::vector<platform::Rect> lines(const RecordingBackend& backend) {
    std::vector<platform::Rect> result;
    for (const Call& call : backend.of(Call::Line))
        result.push_back(call.rect);
    return result;
}

} // namespace

// The field spans x 140..340 and row 2 spans y 90..130.
TEST(RecordTextRenderer, FlagsPlaceTheCharacters) {
    struct Case {
        const char* name;
        std::string line; // UTF-8; the field's data starts at column 3
        int wide, center, space, onLine, minus;
        std::vector<Glyph> expected;
    };
    const std::vector<Case> cases = {
        {"plain: first three cells",
         "  123",
         0,
         0,
         0,
         0,
         0,
         {{"1", {140, 90, 160, 130}}, {"2", {160, 90, 180, 130}}, {"3", {180, 90, 200, 130}}}},
        {"center: 60 wide in 200",
         "  123",
         0,
         1,
         0,
         0,
         0,
         {{"1", {210, 90, 230, 130}}, {"2", {230, 90, 250, 130}}, {"3", {250, 90, 270, 130}}}},
        {"trailing blanks do not count",
         "  12    ",
         0,
         1,
         0,
         0,
         0,
         {{"1", {220, 90, 240, 130}}, {"2", {241, 90, 261, 130}}}},
        {"space: from left edge to right edge",
         "  123",
         0,
         0,
         1,
         0,
         0,
         {{"1", {140, 90, 160, 130}}, {"2", {230, 90, 250, 130}}, {"3", {320, 90, 340, 130}}}},
        {"space, one character: centred", "  7", 0, 0, 1, 0, 0, {{"7", {230, 90, 250, 130}}}},
        {"space, one double-byte character", "  漢", 0, 0, 1, 0, 0, {{"漢", {220, 90, 260, 130}}}},
        {"wide: spread over the field",
         "  12",
         1,
         0,
         0,
         0,
         0,
         {{"1", {140, 90, 180, 130}}, {"2", {301, 90, 341, 130}}}},
        {"wide and center: twice its length",
         "  12",
         1,
         1,
         0,
         0,
         0,
         {{"1", {200, 90, 240, 130}}, {"2", {241, 90, 281, 130}}}},
        {"wide wins over space",
         "  12",
         1,
         0,
         1,
         0,
         0,
         {{"1", {140, 90, 180, 130}}, {"2", {301, 90, 341, 130}}}},
        {"center wins over space", "  1", 0, 1, 1, 0, 0, {{"1", {230, 90, 250, 130}}}},
        {"onLine: on the boundary of rows 2 and 3", "  5", 0, 0, 0, 1, 0, {{"5", {140, 90, 160, 170}}}},
        {"words keep their columns",
         "  AB   CD",
         0,
         0,
         0,
         0,
         0,
         // Two characters in two cells: the spread's rounding puts the second one pixel on.
         {{"A", {140, 90, 160, 130}},
          {"B", {161, 90, 181, 130}},
          {"C", {240, 90, 260, 130}},
          {"D", {261, 90, 281, 130}}}},
        {"double-byte blank separates words",
         "  A　B",
         0,
         0,
         0,
         0,
         0,
         {{"A", {140, 90, 160, 130}}, {"B", {200, 90, 220, 130}}}},
        {"minus: triangle instead of the sign",
         "  -120",
         0,
         0,
         0,
         0,
         1,
         {{"1", {160, 90, 180, 130}}, {"2", {180, 90, 200, 130}}, {"0", {200, 90, 220, 130}}}},
        {"minus with center: sign printed",
         "  -12",
         0,
         1,
         0,
         0,
         1,
         {{"-", {210, 90, 230, 130}}, {"1", {230, 90, 250, 130}}, {"2", {250, 90, 270, 130}}}},
        {"only blanks: nothing", "  ", 0, 0, 0, 0, 0, {}},
        {"data beyond the field is not its text",
         "  1234567890XY",
         0,
         1,
         0,
         0,
         0,
         {{"1", {140, 90, 160, 130}},
          {"2", {160, 90, 180, 130}},
          {"3", {180, 90, 200, 130}},
          {"4", {200, 90, 220, 130}},
          {"5", {220, 90, 240, 130}},
          {"6", {240, 90, 260, 130}},
          {"7", {260, 90, 280, 130}},
          {"8", {280, 90, 300, 130}},
          {"9", {300, 90, 320, 130}},
          {"0", {320, 90, 340, 130}}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas;
        formdesc::FieldInfo field = field10();
        field.wide = c.wide;
        field.center = c.center;
        field.space = c.space;
        field.onLine = c.onLine;
        field.minus = c.minus;
        canvas.drawField(field, formdesc::sjis::fromUtf8(c.line));
        EXPECT_EQ(glyphs(canvas.backend), c.expected);
    }
}

TEST(RecordTextRenderer, MinusTriangleOutline) {
    Canvas canvas;
    formdesc::FieldInfo field = field10();
    field.minus = 1;
    field.textColor = kRed;
    canvas.drawField(field, "  -12 3-4");
    // Word "-12" from column 3 and word "3-4" from column 7 (x 220); the
    // triangles sit in the middle of the sign's cell, a quarter of the font
    // height above the middle of the row, half a font height tall.
    const std::vector<platform::Rect> expected = {
        {150, 100, 143, 120}, {143, 120, 157, 120}, {157, 120, 150, 100}, // cx 150
        {250, 100, 243, 120}, {243, 120, 257, 120}, {257, 120, 250, 100}, // cx 250
    };
    EXPECT_EQ(lines(canvas.backend), expected);
    for (const Call& call : canvas.backend.of(Call::Line)) {
        EXPECT_EQ(call.pen.color, kRed);
        EXPECT_EQ(call.pen.width, 1);
    }
    EXPECT_EQ(canvas.backend.text(), "1234");
    // The triangle pen is gone again.
    EXPECT_EQ(canvas.dc.pen(), (platform::Pen{platform::PenStyle::Dash, 3, kBlue}));
}

TEST(RecordTextRenderer, TextTallerThanTheCellIsCentredOnIt) {
    Canvas canvas;
    formdesc::FieldInfo field = field10();
    field.fontSize = 60; // 60 high in a 40 row: 10 above and below (t = 21 / 2)
    canvas.drawField(field, "  8");
    ASSERT_EQ(glyphs(canvas.backend).size(), 1u);
    EXPECT_EQ(glyphs(canvas.backend)[0].cell, (platform::Rect{140, 80, 170, 140}));
}

TEST(RecordTextRenderer, FieldStyleOnlyWhereItDiffers) {
    struct Case {
        const char* name;
        const char* face;
        int size;
        int wide;
        formdesc::ColorRef color;
        int fontsCreated;
        platform::LogFont drawnFont;
        formdesc::ColorRef drawnColor;
    };
    const Case cases[] = {
        {"same face and size", "Mincho", 40, 0, kBlue, 0, {40, 0, 400, "Mincho"}, kBlue},
        {"other colour only", "Mincho", 40, 0, kRed, 0, {40, 0, 400, "Mincho"}, kRed},
        {"other size", "Mincho", 30, 0, kBlue, 1, {30, 0, 400, "Mincho"}, kBlue},
        {"other face", "Gothic", 40, 0, kBlue, 1, {40, 0, 400, "Gothic"}, kBlue},
        {"wide in the base font", "Mincho", 40, 1, kBlue, 1, {40, 40, 400, "Mincho"}, kBlue},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas;
        formdesc::FieldInfo field = field10();
        formdesc::sjis::storeWhole(field.fontName, sizeof field.fontName, c.face);
        field.fontSize = c.size;
        field.wide = c.wide;
        field.textColor = c.color;
        canvas.drawField(field, "  X");
        EXPECT_EQ(canvas.renderer.text().fontsCreated(), c.fontsCreated);
        const std::vector<Call> chars = canvas.backend.of(Call::Char);
        ASSERT_EQ(chars.size(), 1u);
        EXPECT_EQ(chars[0].font, c.drawnFont);
        EXPECT_EQ(chars[0].color, c.drawnColor);
        // Restored: base font and colour are current again.
        EXPECT_EQ(canvas.dc.font(), FieldRenderer::baseFont(canvas.form, kDpi));
        EXPECT_EQ(canvas.dc.textColor(), kBlue);
    }
}

TEST(RecordTextRenderer, FreeTextWordsInTheirOwnColumns) {
    Canvas canvas;
    // Column 21 lies beyond the form's 20 columns and never shows.
    DataRecord record = recordOf("AB  C", 20);
    record.text[20] = 'Z';
    canvas.renderer.drawFreeText(record, 3);
    const std::vector<Glyph> expected = {
        {"A", {100, 130, 120, 170}}, {"B", {121, 130, 141, 170}}, {"C", {180, 130, 200, 170}}};
    EXPECT_EQ(glyphs(canvas.backend), expected);
    for (const Call& call : canvas.backend.of(Call::Char))
        EXPECT_EQ(call.color, kBlue);
}

TEST(RecordTextRenderer, ShadingReachesHalfACellBeyondTheField) {
    struct Case {
        const char* name;
        int startCol, endCol;
        platform::Rect expected;
    };
    const Case cases[] = {
        // Middle of column 2 (130) to middle of column 13 (350), rows 2 and 3.
        {"inside the grid", 3, 12, {131, 91, 350, 170}},
        // Not beyond the first and last column.
        {"whole width", 1, 20, {111, 91, 490, 170}},
        {"one cell at column 1", 1, 1, {111, 91, 130, 170}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas;
        formdesc::FieldInfo field = field10();
        field.startCol = c.startCol;
        field.endCol = c.endCol;
        field.mesh = 1;
        field.meshColor = kRed;
        canvas.renderer.drawFieldShading(field, 2);
        const std::vector<Call> fills = canvas.backend.of(Call::Fill);
        ASSERT_EQ(fills.size(), 1u);
        EXPECT_EQ(fills[0].rect, c.expected);
        EXPECT_EQ(fills[0].color, kRed);
    }
}

TEST(RecordTextRenderer, FieldsOutsideTheRecordDrawNothingAndDoNotCrash) {
    const std::pair<int, int> ranges[] = {{300, 400}, {-5, -1}, {12, 3}, {INT_MIN, INT_MIN}};
    for (const auto& [first, last] : ranges) {
        SCOPED_TRACE(first);
        Canvas canvas;
        formdesc::FieldInfo field = field10();
        field.startCol = first;
        field.endCol = last;
        canvas.drawField(field, "  123");
        EXPECT_TRUE(canvas.backend.calls.empty());
    }
}
