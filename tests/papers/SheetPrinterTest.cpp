#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>

#include <QImage>

#include "editor/canvas/CanvasGeometry.h"
#include "editor/papers/SheetPrinter.h"
#include "formdesc/ShiftJis.h"
#include "render/BitmapCache.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingBackend.h"

using editor::SheetLayout;
using editor::SheetPrinter;
using editor::SheetResult;
using editor::SheetSettings;
using testsupport::RecordingBackend;
using Call = RecordingBackend::Call;

namespace {

namespace sjis = formdesc::sjis;

// A page target that records what is drawn, in device pixels.
class RecordingTarget : public platform::PageTarget {
  public:
    explicit RecordingTarget(int dpi = 600) : backend(dpi, dpi), dc(backend) {}

    bool beginDocument(const std::string& utf8Name) override {
        name = utf8Name;
        return startable;
    }
    void beginPage() override { ++pages; }
    void endPage() override {}
    bool endDocument() override { return true; }
    platform::DeviceContext& deviceContext() override { return dc; }
    int dpiX() const override { return backend.dpiX(); }
    int dpiY() const override { return backend.dpiY(); }
    platform::PaperTenths paper() const override { return {2970, 2100}; }

    RecordingBackend backend;
    platform::DeviceContext dc;
    std::string name;
    bool startable = true;
    int pages = 0;
};

struct LayoutRow {
    int kind, paper, dpiX, dpiY;
    int paperCode;
    platform::Size logical, viewport;
    int cellW, cellH, offsetX, offsetY;
};

} // namespace

// The B4 layout in the printer's pixels, shown 1:1 on B4 and scaled onto A4;
// any other paper is A4. Values worked out by hand from the sheet's rules.
TEST(SheetLayout, FollowsKindPaperAndResolution) {
    const LayoutRow rows[] = {
        {1, 9, 600, 600, 9, {6070, 8598}, {4960, 7015}, 42, 77, 30, 25},
        {1, 12, 600, 600, 12, {6070, 8598}, {6070, 8598}, 42, 77, 30, 25},
        {0, 12, 600, 600, 12, {8598, 6070}, {8598, 6070}, 40, 79, 50, 15},
        {0, 8, 600, 600, 9, {8598, 6070}, {7015, 4960}, 40, 79, 50, 15},  // A3 becomes A4
        {1, 13, 300, 600, 9, {3035, 8598}, {2480, 7015}, 21, 77, 30, 25}, // B5 too; dpi per axis
    };
    for (const LayoutRow& row : rows) {
        SCOPED_TRACE(testing::Message()
                     << "kind " << row.kind << " paper " << row.paper << " dpi " << row.dpiX);
        const SheetLayout layout = SheetLayout::make(row.kind, row.paper, row.dpiX, row.dpiY);
        EXPECT_EQ(layout.paperCode, row.paperCode);
        EXPECT_EQ(layout.logical, row.logical);
        EXPECT_EQ(layout.viewport, row.viewport);
        EXPECT_EQ(layout.cellW, row.cellW);
        EXPECT_EQ(layout.cellH, row.cellH);
        EXPECT_EQ(layout.offsetX, row.offsetX);
        EXPECT_EQ(layout.offsetY, row.offsetY);
    }
}

// Form cell (c, r) is drawn in sheet cell (c + 2, r + 6): the grid that the
// shared drawing steps see gives the same boxes as the sheet's conversions.
TEST(SheetLayout, FormCellsSitOnTheSheetGrid) {
    for (const int kind : {0, 1}) {
        const SheetLayout layout = SheetLayout::make(kind, 9, 600, 600);
        const formdesc::PageGeometry grid = layout.formGeometry();
        const editor::CellSpan spans[] = {{1, 1, 1, 1}, {4, 10, 17, 12}, {200, 66, 200, 66}};
        for (const editor::CellSpan& s : spans) {
            EXPECT_EQ(editor::CanvasGeometry::fieldBox(grid, s),
                      layout.fullCellBox(s.col1 + 2, s.row1 + 6, s.col2 + 2, s.row2 + 6));
            EXPECT_EQ(editor::CanvasGeometry::figureBox(grid, s),
                      layout.centreLineBox(s.col1 + 2, s.row1 + 6, s.col2 + 2, s.row2 + 6));
        }
        // The first form cell starts right of the row numbers and below the digit row.
        EXPECT_EQ(layout.fullCellBox(3, 7, 3, 7).left, layout.gridPoint(3, 7).x);
        EXPECT_EQ(layout.fullCellBox(3, 7, 3, 7).top, layout.gridPoint(3, 7).y);
    }
}

TEST(SheetDate, ParsesTheDateBox) {
    const struct {
        const char* text;
        int date;
        const char* shown;
    } rows[] = {
        {"2001/2/3", 20010203, "2001/02/03"},
        {"2026/12/31", 20261231, "2026/12/31"},
        {"", 0, nullptr},
        {"2001", 0, nullptr},                    // a year alone is no date
        {"2001/5", 20010000, "2001/00/00"},      // one slash: no month or day
        {" 2001/ 2/ 3", 20010203, "2001/02/03"}, // blanks before numbers
        {"2001/2/3/4", 20010203, "2001/02/03"},  // the day stops at the next slash
        {"abc/1/2", 102, "0000/01/02"},
        {"99999999999/1/1", 2147483647, nullptr}, // saturates instead of overflowing
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.text);
        EXPECT_EQ(editor::parseSheetDate(row.text), row.date);
        if (row.shown) {
            EXPECT_EQ(editor::formatSheetDate(row.date), row.shown);
        }
    }
}

TEST(SheetKinds, FollowTheFormsSize) {
    const struct {
        int rows, columns;
        editor::SheetKinds kinds;
    } rows[] = {
        {60, 180, {true, false, 0}}, {80, 100, {false, true, 1}}, {80, 140, {false, false, 1}},
        {66, 130, {true, true, 0}},  {67, 130, {false, true, 1}}, {10, 131, {true, false, 0}},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << row.rows << " x " << row.columns);
        EXPECT_EQ(editor::sheetKindsFor(row.rows, row.columns), row.kinds);
    }
}

namespace {

// Prints a sheet on a recording target: the design sheet of the model, or
// the entry sheet when the model is null.
struct RecordedSheet {
    RecordingTarget target;
    SheetResult result = SheetResult::Printed;

    RecordedSheet(const formdesc::FormModel* model, const SheetSettings& settings, bool startable = true,
                  const QImage* placeholder = nullptr) {
        target.startable = startable;
        SheetPrinter printer(target, settings.kind, 9);
        render::BitmapCache bitmaps({}, render::BitmapCache::Failures::Silent);
        result = model ? printer.printDesignSheet(*model, settings, bitmaps, placeholder)
                       : printer.printEntrySheet();
        layout = printer.layout();
    }
    // A logical point of the sheet in device pixels.
    platform::Point device(platform::Point p) const { return target.dc.lpToDp(p); }
    std::vector<Call> calls(Call::Kind kind) const { return target.backend.of(kind); }

    SheetLayout layout;
};

formdesc::FormModel sampleForm() {
    formdesc::FormModel model;
    model.form.rows = 60;
    model.form.columns = 80;
    formdesc::FieldInfo field = testsupport::fieldRecord(1, 1, 2);
    sjis::storeWhole(field.constText, sizeof field.constText, "AB");
    field.textColor = formdesc::rgb(0, 0, 255);
    field.mesh = 1;
    field.meshColor = formdesc::rgb(1, 2, 3);
    model.appendField(field);
    model.appendFigure(testsupport::rectRecord(5, 5, 10, 8, formdesc::kMeshFillOnly));
    model.figures[0].meshColor = formdesc::rgb(4, 5, 6);
    formdesc::FigureInfo line =
        testsupport::lineRecord(20, 3, 40, 3, formdesc::kCourseH, formdesc::kLineDash, 4);
    line.lineColor = formdesc::rgb(255, 0, 0);
    model.appendFigure(line);
    return model;
}

} // namespace

TEST(SheetPrinter, EntrySheetIsTheGridPaperAlone) {
    const RecordedSheet sheet(nullptr, {});
    EXPECT_EQ(sheet.result, SheetResult::Printed);
    EXPECT_EQ(sheet.target.name, "記入用紙");
    EXPECT_EQ(sheet.target.pages, 1);
    EXPECT_TRUE(sheet.calls(Call::Fill).empty());
    const std::string text = sheet.target.backend.text();
    EXPECT_NE(text.find(sjis::fromUtf8("名称：")), std::string::npos);
    EXPECT_NE(text.find("200"), std::string::npos); // the last column number of the landscape sheet
    EXPECT_EQ(text.find('X'), std::string::npos);
    // The frame's left side runs down grid column 1 from row 5 to the bottom, 4 units wide.
    const platform::Point top = sheet.device(sheet.layout.gridPoint(1, 5));
    const platform::Point bottom = sheet.device(sheet.layout.gridPoint(1, 74));
    const auto lines = sheet.calls(Call::Line);
    EXPECT_TRUE(std::any_of(lines.begin(), lines.end(), [&](const Call& c) {
        return c.rect == platform::Rect{top.x, top.y, bottom.x, bottom.y} &&
               c.pen.width == sheet.target.dc.lengthToDeviceX(4);
    }));
    // The fine grid: dense dots of one device pixel every five along a row line.
    const platform::Point start = sheet.device(sheet.layout.gridPoint(3, 8));
    const auto dot = std::find_if(lines.begin(), lines.end(), [&](const Call& c) {
        return c.rect == platform::Rect{start.x, start.y, start.x + 1, start.y};
    });
    ASSERT_NE(dot, lines.end());
    ASSERT_NE(dot + 1, lines.end());
    EXPECT_EQ((dot + 1)->rect, (platform::Rect{start.x + 5, start.y, start.x + 6, start.y}));
}

TEST(SheetPrinter, DesignSheetDrawsTheFormOnTheSheetGrid) {
    const formdesc::FormModel model = sampleForm();
    SheetSettings settings;
    settings.name = sjis::fromUtf8("見本");
    settings.date = 20010203;
    settings.remarks = "memo";
    const RecordedSheet sheet(&model, settings);
    EXPECT_EQ(sheet.target.name, "設計用紙 [見本]");
    const std::string text = sheet.target.backend.text();
    for (const std::string& value : {sjis::fromUtf8("見本"), std::string("2001/02/03"), std::string("memo")})
        EXPECT_NE(text.find(value), std::string::npos) << value;

    // The field at form cell (1, 1) starts in the first cell right of the row
    // numbers and below the digit row, in its own colour.
    const auto chars = sheet.calls(Call::Char);
    const auto a = std::find_if(chars.begin(), chars.end(), [](const Call& c) { return c.text == "A"; });
    ASSERT_NE(a, chars.end());
    EXPECT_EQ(a->rect.left, sheet.device(sheet.layout.gridPoint(3, 7)).x);
    EXPECT_EQ(a->color, formdesc::rgb(0, 0, 255));

    // The line takes the sheet's pen: one unit thinner than stored, its own style and colour.
    const auto lines = sheet.calls(Call::Line);
    const auto red = std::find_if(lines.begin(), lines.end(),
                                  [](const Call& c) { return c.pen.color == formdesc::rgb(255, 0, 0); });
    ASSERT_NE(red, lines.end());
    EXPECT_EQ(red->pen.style, platform::PenStyle::Dash);
    EXPECT_EQ(red->pen.width, sheet.target.dc.lengthToDeviceX(3));
}

// Fills follow the caption of "網掛けを印刷しない"; frames around fields are drawn on request.
TEST(SheetPrinter, FillsAndFieldFramesFollowTheSettings) {
    const formdesc::FormModel model = sampleForm();
    const struct {
        bool noFills, frameFields;
        std::size_t fills, frameLines;
    } rows[] = {{false, false, 2, 0}, {true, false, 0, 0}, {false, true, 2, 4}, {true, true, 0, 4}};
    for (const auto& row : rows) {
        SCOPED_TRACE(testing::Message() << "noFills " << row.noFills << " frameFields " << row.frameFields);
        SheetSettings settings;
        settings.noFills = row.noFills;
        settings.frameFields = row.frameFields;
        const RecordedSheet sheet(&model, settings);
        const auto fills = sheet.calls(Call::Fill);
        ASSERT_EQ(fills.size(), row.fills);
        if (row.fills) {
            EXPECT_EQ(fills[0].color, formdesc::rgb(4, 5, 6));
            EXPECT_EQ(fills[1].color, formdesc::rgb(1, 2, 3));
        }
        const auto lines = sheet.calls(Call::Line);
        EXPECT_EQ(static_cast<std::size_t>(
                      std::count_if(lines.begin(), lines.end(),
                                    [](const Call& c) { return c.pen.color == formdesc::rgb(0, 0, 255); })),
                  row.frameLines);
    }
}

// A bitmap item shows the placeholder in its box on the sheet when its file
// cannot be read, and as well when it has no file yet: left out, it could not
// be seen on the sheet at all.
TEST(SheetPrinter, BitmapsWithoutAPictureShowThePlaceholder) {
    QImage placeholder(4, 3, QImage::Format_RGB32);
    placeholder.fill(Qt::gray);
    for (const char* fileName : {"/NO/SUCH.BMP", ""}) {
        SCOPED_TRACE(std::string("file name \"") + fileName + "\"");
        formdesc::FormModel model = sampleForm();
        model.appendFigure(testsupport::bitmapRecord(30, 10, 40, 20, fileName));
        const RecordedSheet sheet(&model, {}, true, &placeholder);
        const auto images = sheet.calls(Call::Image);
        ASSERT_EQ(images.size(), 1u);
        EXPECT_EQ(images[0].text, "4x3");
        // The box starts inside the item's first column (form column 30 is sheet column 32).
        EXPECT_GE(images[0].rect.left, sheet.device(sheet.layout.gridPoint(32, 7)).x);
        EXPECT_LT(images[0].rect.left, sheet.device(sheet.layout.gridPoint(33, 7)).x);
    }
}

TEST(SheetPrinter, DocumentThatCannotStartDrawsNothing) {
    const formdesc::FormModel model = sampleForm();
    for (const formdesc::FormModel* form : {&model, static_cast<const formdesc::FormModel*>(nullptr)}) {
        const RecordedSheet sheet(form, {}, false);
        EXPECT_EQ(sheet.result, SheetResult::CannotStart);
        EXPECT_EQ(sheet.target.pages, 0);
        EXPECT_TRUE(sheet.target.backend.calls.empty());
    }
}

// A heading keeps inside the cells it has on the form: its text is scaled
// from the form's cell to the sheet's smaller one, on both kinds and both
// papers the sheet is printed on.
TEST(SheetPrinter, FieldTextKeepsInsideItsCells) {
    formdesc::FormModel model;
    model.form.paperSize = formdesc::kPaperA4;
    model.form.direction = formdesc::kPortrait;
    model.form.columns = 80;
    model.form.rows = 60;
    model.form.leftMargin = 100;
    model.form.topMargin = 120;
    const struct {
        int c1, row, c2, size;
        bool wide;
        const char* text;
    } fields[] = {{22, 2, 57, 130, true, "請求書"},
                  {19, 10, 38, 110, true, "合計金額"},
                  {4, 12, 30, 100, false, "株式会社　見本商事　御中"}};
    for (const auto& f : fields) {
        formdesc::FieldInfo field = testsupport::fieldRecord(f.c1, f.row, f.c2);
        sjis::storeWhole(field.fontName, sizeof field.fontName, sjis::fromUtf8("ＭＳ ゴシック"));
        field.fontSize = f.size;
        field.wide = f.wide ? 1 : 0;
        field.center = 1;
        sjis::storeWhole(field.constText, sizeof field.constText, sjis::fromUtf8(f.text));
        model.appendField(field);
    }
    for (const int kind : {editor::kSheetLandscape, editor::kSheetPortrait}) {
        SheetSettings settings;
        settings.kind = kind;
        for (const int paper : {9, 12}) {
            RecordingTarget target;
            SheetPrinter printer(target, kind, paper);
            render::BitmapCache bitmaps({}, render::BitmapCache::Failures::Silent);
            ASSERT_EQ(printer.printDesignSheet(model, settings, bitmaps, nullptr), SheetResult::Printed);
            const SheetLayout& layout = printer.layout();
            const auto chars = target.backend.of(Call::Char);
            for (const auto& f : fields) {
                SCOPED_TRACE(testing::Message() << f.text << " kind " << kind << " paper " << paper);
                const std::string text = sjis::fromUtf8(f.text);
                const platform::Point topLeft = target.dc.lpToDp(
                    layout.gridPoint(f.c1 + editor::kFormColumnShift, f.row + editor::kFormRowShift));
                const platform::Point bottomRight = target.dc.lpToDp(
                    layout.gridPoint(f.c2 + 1 + editor::kFormColumnShift, f.row + 1 + editor::kFormRowShift));
                int found = 0;
                for (const Call& c : chars) {
                    if (c.rect.top < topLeft.y - 2 * layout.cellH || c.rect.top > bottomRight.y ||
                        c.rect.left < topLeft.x - 1 || c.rect.right > bottomRight.x + layout.cellW * 4 ||
                        text.find(c.text) == std::string::npos || c.text == " ")
                        continue;
                    ++found;
                    EXPECT_GE(c.rect.top, topLeft.y) << c.text;
                    EXPECT_LE(c.rect.bottom, bottomRight.y) << c.text;
                    EXPECT_GE(c.rect.left, topLeft.x) << c.text;
                    EXPECT_LE(c.rect.right, bottomRight.x + 1) << c.text; // the spread's rounding
                }
                EXPECT_GT(found, 0);
            }
        }
    }
}

// A barcode is drawn at its sheet cells as filled modules in its colour: the
// constant's symbol, and a sample symbol for one that takes a field.
TEST(SheetPrinter, BarcodesAreDrawnInTheirSheetCells) {
    for (const bool fromField : {false, true}) {
        SCOPED_TRACE(fromField ? "from a field" : "a constant");
        formdesc::FormModel model = sampleForm();
        formdesc::FigureInfo barcode = testsupport::barcodeRecord(30, 10, 40, 20, formdesc::kBarcodeQr,
                                                                  fromField ? "AMOUNT" : "TABRIK", fromField);
        barcode.lineColor = formdesc::rgb(7, 8, 9);
        model.appendFigure(barcode);
        const RecordedSheet sheet(&model, {});
        std::vector<Call> modules;
        for (const Call& fill : sheet.calls(Call::Fill))
            if (fill.color == formdesc::rgb(7, 8, 9))
                modules.push_back(fill);
        ASSERT_GT(modules.size(), 20u);
        // Form columns 30 to 40 are sheet columns 32 to 42.
        const int left = sheet.device(sheet.layout.gridPoint(32, 7)).x;
        const int right = sheet.device(sheet.layout.gridPoint(43, 7)).x;
        for (const Call& module : modules) {
            EXPECT_GE(module.rect.left, left);
            EXPECT_LE(module.rect.right, right);
        }
    }
}
