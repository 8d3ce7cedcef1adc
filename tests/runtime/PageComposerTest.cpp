#include <gtest/gtest.h>

#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "runtime/compose/PageComposer.h"
#include "runtime/compose/PageRules.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingBackend.h"
#include "tests/support/TempFolder.h"

using platform::Rect;
using render::RenderContext;
using render::RenderPolicy;
using runtime::PageBuffer;
using runtime::PageComposer;
using testsupport::RecordingBackend;

namespace fs = std::filesystem;

namespace {

using Call = RecordingBackend::Call;

enum class RenderMode { Print, Preview };

RenderPolicy policyOf(RenderMode mode, const formdesc::FormInfo& form) {
    return mode == RenderMode::Print ? RenderPolicy::print(form) : RenderPolicy::preview();
}

constexpr int kDpi = 720; // font size in tenths of a point = height in units
constexpr formdesc::PageGeometry kGrid{20, 40, 100, 50, 5000, 4000};
constexpr formdesc::ColorRef kGrey = formdesc::rgb(192, 192, 192);
constexpr formdesc::ColorRef kGreen = formdesc::rgb(0, 128, 0);

std::unique_ptr<formdesc::FormModel> newModel(bool tagMode = false) {
    auto model = std::make_unique<formdesc::FormModel>();
    formdesc::FormInfo& form = model->form;
    form.columns = 20;
    form.rows = 10;
    form.tagMode = tagMode ? 1 : 0;
    formdesc::sjis::storeWhole(form.fontName, sizeof form.fontName, "Mincho");
    form.fontSize = 40;
    form.lineType = formdesc::kLineSolid;
    form.lineWidth = 0;
    return model;
}

formdesc::FieldInfo field(int startCol, int endCol, int row, const char* tag = "") {
    formdesc::FieldInfo f{};
    f.startCol = startCol;
    f.endCol = endCol;
    f.startRow = f.endRow = row;
    formdesc::sjis::storeBytes(f.tag, sizeof f.tag, 8, tag);
    formdesc::sjis::storeWhole(f.fontName, sizeof f.fontName, "Mincho");
    f.fontSize = 40;
    return f;
}

formdesc::FigureInfo figure(int kind, int c1, int r1, int c2, int r2, int course) {
    formdesc::FigureInfo f = testsupport::figureRecord(kind, c1, r1, c2, r2);
    f.course = course;
    f.meshColor = kGrey;
    return f;
}

std::unique_ptr<PageBuffer> pageOf(const std::vector<std::string>& lines, const formdesc::FormInfo& form) {
    auto page = std::make_unique<PageBuffer>();
    for (const std::string& line : lines)
        page->addRecord(line, form);
    return page;
}

// A prepared device context in text mode: one unit is one pixel.
struct Canvas {
    RecordingBackend backend{kDpi, kDpi};
    platform::DeviceContext dc{backend};
    RenderContext context;
    std::unique_ptr<runtime::PreparedDeviceContext> prepared;

    Canvas(const formdesc::FormInfo& form, RenderMode mode = RenderMode::Print)
        : context{dc, kGrid, policyOf(mode, form), kDpi} {
        prepared = std::make_unique<runtime::PreparedDeviceContext>(dc, form, context.policy, kDpi);
    }

    std::string kinds() const {
        std::string result;
        for (const Call& call : backend.calls)
            result += "LFCI"[call.kind];
        return result;
    }
};

} // namespace

TEST(PageComposer, FillsShadingFiguresThenTexts) {
    auto model = newModel(true);
    // A line first in figure order, then a framed and filled rectangle over it.
    model->appendFigure(figure(formdesc::kKindLine, 2, 2, 8, 2, formdesc::kCourseH));
    model->appendFigure(figure(formdesc::kKindRect, 1, 1, 10, 4, formdesc::kMeshFrameAndFill));
    model->appendFigure(figure(formdesc::kKindRect, 12, 1, 14, 4, formdesc::kMeshFillOnly));
    formdesc::FieldInfo name = field(3, 8, 1, "NAME");
    name.mesh = 1;
    name.meshColor = kGreen;
    model->appendField(name);
    // A line of 8 bytes or less carries no tag: all of it is free text.
    const auto page = pageOf({"NAME   |  AB", "free  Z"}, model->form);

    Canvas canvas(model->form);
    PageComposer composer(*model);
    composer.composePage(canvas.context, *page);
    // Two fills, the field's shading, the line, four frame segments, the
    // field text, then the free texts.
    EXPECT_EQ(canvas.kinds(), "FFFLLLLLCCCCCCC");
    EXPECT_EQ(canvas.backend.text(), "ABfreeZ");
    const std::vector<Call> fills = canvas.backend.of(Call::Fill);
    EXPECT_EQ(fills[0].color, kGrey);
    EXPECT_EQ(fills[2].color, kGreen);
    // Shading of row 1: middle of column 2 to middle of column 9, rows 1-2.
    EXPECT_EQ(fills[2].rect, (Rect{131, 51, 270, 130}));
}

TEST(PageComposer, ShadingOnlyInTagModeAndEvenForBlankFields) {
    for (const bool tagMode : {true, false}) {
        SCOPED_TRACE(tagMode);
        auto model = newModel(tagMode);
        formdesc::FieldInfo f = field(3, 8, 1, "NAME");
        f.mesh = 1;
        model->appendField(f);
        const auto page = pageOf({"NAME   |      "}, model->form);
        Canvas canvas(model->form);
        PageComposer(*model).composePage(canvas.context, *page);
        EXPECT_EQ(canvas.backend.of(Call::Fill).size(), tagMode ? 1u : 0u);
    }
}

TEST(PageComposer, FieldColumnsAreDrawnOnceAndConstantsFillFields) {
    struct Case {
        const char* name;
        std::vector<formdesc::FieldInfo> fields;
        std::string line;
        std::string expectedText;
    };
    formdesc::FieldInfo constant = field(10, 14, 1);
    formdesc::sjis::storeBytes(constant.constText, sizeof constant.constText, 131, "K");
    formdesc::FieldInfo longConstant = field(10, 11, 1);
    formdesc::sjis::storeBytes(longConstant.constText, sizeof longConstant.constText, 131, "LONG");
    const std::vector<Case> cases = {
        // Field texts first, then the free text without the field's columns.
        {"field then free text", {field(3, 5, 1)}, "XXABCYY", "ABCXXYY"},
        // The second field finds the columns blank already.
        {"overlapping fields", {field(3, 5, 1), field(4, 6, 1)}, "XXABCYY", "ABCYXXY"},
        {"field of another row", {field(3, 5, 2)}, "XXABCYY", "XXABCYY"},
        // The constant text replaces the data, padded with blanks.
        {"constant text", {constant}, "123456789DATA1", "K123456789"},
        {"constant text cut to the field", {longConstant}, "123456789DATA", "LO123456789TA"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto model = newModel();
        for (const formdesc::FieldInfo& f : c.fields)
            model->appendField(f);
        const auto page = pageOf({c.line}, model->form);
        Canvas canvas(model->form);
        PageComposer(*model).composePage(canvas.context, *page);
        EXPECT_EQ(canvas.backend.text(), c.expectedText);
    }
}

TEST(PageComposer, PreviewCanComposeThePageAgain) {
    auto model = newModel();
    formdesc::FieldInfo constant = field(10, 12, 1);
    formdesc::sjis::storeBytes(constant.constText, sizeof constant.constText, 131, "K");
    model->appendField(constant);
    model->appendField(field(1, 3, 1));
    for (const RenderMode mode : {RenderMode::Print, RenderMode::Preview}) {
        SCOPED_TRACE(mode == RenderMode::Print ? "print" : "preview");
        const auto page = pageOf({"ABC  free"}, model->form);
        Canvas canvas(model->form, mode);
        PageComposer composer(*model, {},
                              mode == RenderMode::Print ? PageComposer::PageUse::Consume
                                                        : PageComposer::PageUse::Recompose);
        composer.composePage(canvas.context, *page);
        const std::string first = canvas.backend.text();
        canvas.backend.calls.clear();
        composer.composePage(canvas.context, *page);
        EXPECT_EQ(first, "KABCfree");
        // The print job works on its buffer (cleared after each page); the
        // preview keeps its page, with the constant text written in.
        const std::string cells((*page)[0].text, 12);
        if (mode == RenderMode::Preview) {
            EXPECT_EQ(canvas.backend.text(), first);
            EXPECT_EQ(cells, "ABC  freeK  ");
        } else {
            EXPECT_EQ(cells, "     free   ");
        }
    }
}

TEST(PageComposer, LastRowOnlyOnTheLastPage) {
    auto model = newModel();
    model->appendFigure(figure(formdesc::kKindLine, 5, 2, 5, 10, formdesc::kCourseV));
    model->appendFigure(figure(formdesc::kKindRect, 2, 7, 4, 8, formdesc::kMeshFrameAndFill));
    const auto page = pageOf({"x"}, model->form);
    struct Case {
        bool lastPage;
        int lastRow;
        std::size_t lines;
        int lineEnd;
    };
    // Row r ends at 50 + 40 r.
    const Case cases[] = {{true, 5, 1, 250}, {false, 5, 5, 450}, {true, 0, 5, 450}, {true, 8, 5, 370}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.lastPage << " " << c.lastRow);
        Canvas canvas(model->form);
        canvas.context.policy.lastRow = runtime::figureLastRow(c.lastRow, c.lastPage);
        PageComposer(*model).composePage(canvas.context, *page);
        const std::vector<Call> lines = canvas.backend.of(Call::Line);
        ASSERT_EQ(lines.size(), c.lines);
        EXPECT_EQ(lines[0].rect.bottom, c.lineEnd);
        EXPECT_EQ(canvas.backend.of(Call::Fill).size(), c.lines == 1 ? 0u : 1u);
    }
}

TEST(PageComposer, BitmapsAreReadOnceAndFailuresReportedOnce) {
    TempFolder folder;
    folder.writeBytes("logo.bmp", testsupport::tinyBmp());
    folder.writeBytes("empty.bmp", "");
    folder.writeBytes("text.bmp", "not a bmp");
    struct Case {
        const char* name;
        const char* fileName; // as the reader stores it: upper case
        std::size_t images;
        const char* message;
    };
    const Case cases[] = {
        {"found without regard to case", "LOGO.BMP", 2, nullptr},
        {"missing", "NONE.BMP", 0, "イメージのオープンに失敗しました（NONE.BMP）"},
        {"empty", "EMPTY.BMP", 0, "空のファイルです（EMPTY.BMP）"},
        {"not a BMP", "TEXT.BMP", 0, "イメージのオープンに失敗しました（TEXT.BMP）"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        formdesc::RecordingMessageSink sink;
        formdesc::ScopedMessageSink scoped(sink);
        auto model = newModel();
        model->appendFigure(testsupport::bitmapRecord(2, 2, 4, 3, c.fileName));
        PageComposer composer(*model, folder.path());
        const auto page = pageOf({"x"}, model->form);
        Canvas canvas(model->form);
        composer.composePage(canvas.context, *page);
        // The second page does not read the file again.
        fs::remove(folder.path() / "logo.bmp");
        composer.composePage(canvas.context, *page);
        folder.writeBytes("logo.bmp", testsupport::tinyBmp());

        const std::vector<Call> images = canvas.backend.of(Call::Image);
        ASSERT_EQ(images.size(), c.images);
        if (!images.empty()) {
            // From (x1, y1), x2 - x1 + 1 by y2 - y1 + 1: columns 2-4 at x 130..170, rows 2-3 at y 90..170.
            EXPECT_EQ(images[0].rect, (Rect{130, 90, 171, 171}));
            EXPECT_EQ(images[0].text, "2x2");
        }
        if (c.message) {
            ASSERT_EQ(sink.messages.size(), 1u);
            EXPECT_EQ(sink.messages[0].text, c.message);
            EXPECT_EQ(sink.messages[0].caption, "エラー");
            EXPECT_EQ(sink.messages[0].icon, formdesc::MessageIcon::Exclamation);
        } else {
            EXPECT_TRUE(sink.messages.empty());
        }
    }
}

TEST(PageComposer, BitmapBelowTheLastRowIsNotRead) {
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);
    auto model = newModel();
    model->appendFigure(testsupport::bitmapRecord(2, 6, 4, 8, "NONE.BMP"));
    Canvas canvas(model->form);
    canvas.context.policy.lastRow = 5;
    PageComposer(*model).composePage(canvas.context, *pageOf({"x"}, model->form));
    EXPECT_TRUE(sink.messages.empty());
}

TEST(PageComposer, PreparedDeviceContextByMode) {
    auto model = newModel();
    model->form.textColor = kGreen;
    model->form.lineType = formdesc::kLineDash;
    model->form.lineWidth = 2;
    model->form.lineColor = kGrey;
    struct Case {
        RenderMode mode;
        platform::Pen pen;
    };
    const Case cases[] = {{RenderMode::Print, {platform::PenStyle::Dash, 2, kGrey}},
                          {RenderMode::Preview, {platform::PenStyle::Solid, 1, 0}}};
    for (const Case& c : cases) {
        RecordingBackend backend(kDpi, kDpi);
        platform::DeviceContext dc(backend);
        const platform::Pen before{platform::PenStyle::DashDot, 7, kGreen};
        dc.selectPen(before);
        {
            runtime::PreparedDeviceContext prepared(dc, model->form, policyOf(c.mode, model->form), 600);
            EXPECT_EQ(dc.pen(), c.pen);
            EXPECT_EQ(dc.textColor(), kGreen);
            // 4 points at 600 dpi.
            EXPECT_EQ(dc.font(), (platform::LogFont{33, 0, 400, "Mincho"}));
        }
        EXPECT_EQ(dc.pen(), before);
        EXPECT_EQ(dc.textColor(), 0);
        EXPECT_EQ(dc.font(), platform::LogFont{});
    }
}
