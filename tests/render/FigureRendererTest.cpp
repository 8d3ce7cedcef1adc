#include <gtest/gtest.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "render/FigureRenderer.h"
#include "tests/render/DrawFigure.h"
#include "tests/support/FormRecords.h"
#include "tests/support/RecordingBackend.h"

using platform::PenStyle;
using platform::Rect;
using render::FigureRenderer;
using render::RenderContext;
using render::RenderPolicy;
using testsupport::RecordingBackend;

namespace {

using Call = RecordingBackend::Call;

enum class RenderMode { Print, Preview };

RenderPolicy policyOf(RenderMode mode, const formdesc::FormInfo& form) {
    return mode == RenderMode::Print ? RenderPolicy::print(form) : RenderPolicy::preview();
}

// The printer grid of an A4 landscape form of 180 x 60 cells at 600 dpi.
constexpr formdesc::PageGeometry kPrintGrid{37, 78, 0, 0, 7015, 4960};
// The same form in the preview at 96 dpi.
constexpr formdesc::PageGeometry kPreviewGrid{5, 12, 18, 18, 954, 774};
constexpr formdesc::ColorRef kRed = formdesc::rgb(255, 0, 0);

formdesc::FormInfo printForm() {
    return testsupport::printForm180x60();
}

formdesc::FigureInfo line(int c1, int r1, int c2, int r2, int course, int type = formdesc::kLineSolid,
                          int width = 0) {
    return testsupport::lineRecord(c1, r1, c2, r2, course, type, width);
}

formdesc::FigureInfo rect(int c1, int r1, int c2, int r2, int meshKind = formdesc::kMeshFrameOnly) {
    formdesc::FigureInfo figure = line(c1, r1, c2, r2, meshKind);
    figure.kind = formdesc::kKindRect;
    figure.meshColor = kRed;
    return figure;
}

formdesc::FigureInfo looped(formdesc::FigureInfo figure, int dir, int count, int pitch) {
    figure.loopDir = dir;
    figure.loopCount = count;
    figure.loopPitch = pitch;
    return figure;
}

// A device context whose mapping is one to one (printer: form and paper of
// the same size) or the preview's at a zoom, with the mode's default pen.
struct Canvas {
    RecordingBackend backend;
    platform::DeviceContext dc{backend};
    formdesc::FormInfo form = printForm();
    RenderContext context;

    explicit Canvas(RenderMode mode = RenderMode::Print, int zoom = 100, platform::Point scroll = {20, 20})
        : backend(mode == RenderMode::Print ? 600 : 96, mode == RenderMode::Print ? 600 : 96),
          context{dc, mode == RenderMode::Print ? kPrintGrid : kPreviewGrid, policyOf(mode, form),
                  backend.dpiY()} {
        const formdesc::PageGeometry& g = context.geometry;
        dc.setMapMode(platform::MapMode::Isotropic);
        dc.setWindowExt(g.pageW, g.pageH);
        dc.setViewportExt(g.pageW * zoom / 100, g.pageH * zoom / 100);
        if (mode == RenderMode::Preview)
            dc.setViewportOrg(scroll.x, scroll.y);
        dc.selectPen(FigureRenderer::defaultPen(form, context.policy));
    }

    // Composition step 3 for one line or frame.
    void draw(const formdesc::FigureInfo& figure) { drawFigure(context, form, figure); }

    std::vector<Rect> lines() const {
        std::vector<Rect> result;
        for (const Call& call : backend.of(Call::Line))
            result.push_back(call.rect);
        return result;
    }
};

std::vector<Rect> shifted(const Rect& r, int count, int dx, int dy) {
    std::vector<Rect> result;
    for (int k = 0; k < count; ++k)
        result.push_back({r.left + k * dx, r.top + k * dy, r.right + k * dx, r.bottom + k * dy});
    return result;
}

} // namespace

namespace platform {
std::ostream& operator<<(std::ostream& out, const Rect& r) {
    return out << "(" << r.left << "," << r.top << ")-(" << r.right << "," << r.bottom << ")";
}
} // namespace platform

TEST(FigureRenderer, LinesRunBetweenTheFigurePoints) {
    using namespace formdesc;
    struct Case {
        const char* name;
        FigureInfo figure;
        std::vector<Rect> expected;
    };
    const std::vector<Case> cases = {
        // Along the top edge of row 2, middle of column 3 to middle of column 10.
        {"H", line(3, 2, 10, 2, kCourseH), {{92, 78, 351, 78}}},
        {"H ignores the end row", line(3, 2, 10, 5, kCourseH), {{92, 78, 351, 78}}},
        // Middle of column 5, top of row 2 to bottom of row 4.
        {"V", line(5, 2, 5, 4, kCourseV), {{166, 78, 166, 312}}},
        // LU runs down to the right even when written upwards; RU runs up.
        {"LU written upwards", line(2, 5, 6, 3, kCourseLU), {{55, 156, 203, 390}}},
        {"LU", line(2, 3, 6, 5, kCourseLU), {{55, 156, 203, 390}}},
        {"RU written downwards", line(2, 3, 6, 5, kCourseRU), {{55, 312, 203, 234}}},
        {"loop H 3 x 4 columns", looped(line(3, 2, 10, 2, kCourseH), kLoopH, 3, 4),
         shifted({92, 78, 351, 78}, 4, 148, 0)},
        {"loop V 2 x 5 rows", looped(line(5, 2, 5, 4, kCourseV), kLoopV, 2, 5),
         shifted({166, 78, 166, 312}, 3, 0, 390)},
        {"loop count 0", looped(line(3, 2, 10, 2, kCourseH), kLoopH, 0, 4), {{92, 78, 351, 78}}},
        {"loop count -1", looped(line(3, 2, 10, 2, kCourseH), kLoopH, -1, 4), {}},
        {"no direction ignores the count",
         looped(line(3, 2, 10, 2, kCourseH), kLoopNone, 5, 4),
         {{92, 78, 351, 78}}},
        // Frames: left, bottom, right, top.
        {"frame",
         rect(2, 2, 4, 3),
         {{55, 78, 55, 234}, {55, 234, 129, 234}, {129, 78, 129, 234}, {55, 78, 129, 78}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas;
        canvas.draw(c.figure);
        EXPECT_EQ(canvas.lines(), c.expected);
    }
}

TEST(FigureRenderer, LastRowCutsEveryCopyOnTheLastPageOnly) {
    using namespace formdesc;
    struct Case {
        const char* name;
        FigureInfo figure;
        bool lastPage;
        std::vector<Rect> expected;
    };
    // Row r starts at 78 x (r - 1); LASTROW = 10 ends at 780.
    const std::vector<Case> cases = {
        {"line to row 40 ends at row 10", line(5, 2, 5, 40, kCourseV), true, {{166, 78, 166, 780}}},
        {"not the last page: whole", line(5, 2, 5, 40, kCourseV), false, {{166, 78, 166, 3120}}},
        {"frame below row 10: absent", rect(2, 12, 4, 14), true, {}},
        {"line from row 10 kept", line(5, 10, 5, 12, kCourseV), true, {{166, 702, 166, 780}}},
        {"frame below row 10 on another page",
         rect(2, 12, 4, 14),
         false,
         {{55, 858, 55, 1092}, {55, 1092, 129, 1092}, {129, 858, 129, 1092}, {55, 858, 129, 858}}},
        // Copies at rows 2-4, 6-8, 10-12 (cut to 10) and 14-16 (not drawn).
        {"each copy on its own rows",
         looped(line(5, 2, 5, 4, kCourseV), kLoopV, 3, 4),
         true,
         {{166, 78, 166, 312}, {166, 390, 166, 624}, {166, 702, 166, 780}}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas;
        canvas.context.policy.lastRow = c.lastPage ? 10 : 0;
        canvas.draw(c.figure);
        EXPECT_EQ(canvas.lines(), c.expected);
    }
}

TEST(FigureRenderer, FillsInsideTheFigurePoints) {
    Canvas canvas;
    canvas.context.policy.lastRow = 3;
    FigureRenderer renderer(canvas.context, canvas.form);
    renderer.drawRectFill(looped(rect(2, 2, 4, 3, formdesc::kMeshFillOnly), formdesc::kLoopH, 1, 5));
    renderer.drawRectFill(rect(2, 4, 4, 5, formdesc::kMeshFillOnly)); // below LASTROW
    const std::vector<Call> fills = canvas.backend.of(Call::Fill);
    ASSERT_EQ(fills.size(), 2u);
    EXPECT_EQ(fills[0].rect, (Rect{56, 79, 129, 234}));
    EXPECT_EQ(fills[1].rect, (Rect{241, 79, 314, 234}));
    EXPECT_EQ(fills[0].color, kRed);
    EXPECT_TRUE(canvas.backend.of(Call::Line).empty());
}

TEST(FigureRenderer, PensByModeAndLineType) {
    struct Case {
        const char* name;
        RenderMode mode;
        int type, width;
        formdesc::ColorRef color;
        platform::DevicePen expected; // in device pixels at 100 %
    };
    const Case cases[] = {
        {"print: the form's pen", RenderMode::Print, 1, 0, 0, {PenStyle::Solid, 1, 0}},
        {"print: wider", RenderMode::Print, 1, 4, 0, {PenStyle::Solid, 4, 0}},
        {"print: coloured", RenderMode::Print, 1, 0, kRed, {PenStyle::Solid, 1, kRed}},
        {"print: dash", RenderMode::Print, 3, 2, 0, {PenStyle::Dash, 2, 0}},
        {"print: dot", RenderMode::Print, 4, 0, 0, {PenStyle::Dot, 1, 0}},
        {"print: dash dot", RenderMode::Print, 5, 0, 0, {PenStyle::DashDot, 1, 0}},
        {"print: dash dot dot", RenderMode::Print, 6, 0, 0, {PenStyle::DashDotDot, 1, 0}},
        {"preview: default", RenderMode::Preview, 1, 1, 0, {PenStyle::Solid, 1, 0}},
        {"preview: thick", RenderMode::Preview, 1, 3, 0, {PenStyle::Solid, 3, 0}},
        {"preview: dense dots diagonal, red", RenderMode::Preview, 2, 1, kRed, {PenStyle::Solid, 1, kRed}},
        {"preview: dash keeps its style", RenderMode::Preview, 3, 1, 0, {PenStyle::Dash, 1, 0}},
        {"preview: dash dot dot", RenderMode::Preview, 6, 2, kRed, {PenStyle::DashDotDot, 2, kRed}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(c.mode);
        formdesc::FigureInfo figure = line(2, 2, 6, 5, formdesc::kCourseLU, c.type, c.width);
        figure.lineColor = c.color;
        const platform::Pen before = canvas.dc.pen();
        canvas.draw(figure);
        const std::vector<Call> drawn = canvas.backend.of(Call::Line);
        ASSERT_EQ(drawn.size(), 1u);
        EXPECT_EQ(drawn[0].pen.style, c.expected.style);
        EXPECT_EQ(drawn[0].pen.width, c.expected.width);
        EXPECT_EQ(drawn[0].pen.color, c.expected.color);
        EXPECT_EQ(canvas.dc.pen(), before);
    }
}

// Dense dots are laid out in device pixels whatever the zoom: the printer
// raises the stored width 0 to dots of 2 with gaps of 4 (horizontal dots one
// pixel shorter), the preview draws dots of 1 with gaps of 2.
TEST(FigureRenderer, DenseDotsInDevicePixels) {
    using namespace formdesc;
    struct Case {
        const char* name;
        RenderMode mode;
        int zoom;
        FigureInfo figure;
        Rect firstDot;
        int step; // from one dot to the next
        int dots;
        Rect lastDot;
    };
    const std::vector<Case> cases = {
        // Column 5, rows 2-4: x 166, y 78..312.
        {"print V",
         RenderMode::Print,
         100,
         line(5, 2, 5, 4, kCourseV, kLineDenseDots, 0),
         {166, 78, 166, 80},
         6,
         40,
         {166, 312, 166, 312}},
        // Columns 3-10 along row 2: x 92..351.
        {"print H",
         RenderMode::Print,
         100,
         line(3, 2, 10, 2, kCourseH, kLineDenseDots, 0),
         {92, 78, 93, 78},
         5,
         52,
         {347, 78, 348, 78}},
        {"print V, width 3",
         RenderMode::Print,
         100,
         line(5, 2, 5, 4, kCourseV, kLineDenseDots, 3),
         {166, 78, 166, 81},
         9,
         27,
         {166, 312, 166, 312}},
        // Preview at 200 %, scrolled to (20, 20): x 40 -> 100, y 30..66 -> 80..152.
        {"preview V",
         RenderMode::Preview,
         200,
         line(5, 2, 5, 4, kCourseV, kLineDenseDots, 1),
         {100, 80, 100, 81},
         3,
         25,
         {100, 152, 100, 152}},
        // x 30..65 -> 80..150, y 30 -> 80.
        {"preview H",
         RenderMode::Preview,
         200,
         line(3, 2, 10, 2, kCourseH, kLineDenseDots, 1),
         {80, 80, 81, 80},
         3,
         24,
         {149, 80, 150, 80}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(c.mode, c.zoom);
        const platform::Size windowExt = canvas.dc.windowExt();
        canvas.draw(c.figure);
        const std::vector<Rect> dots = canvas.lines();
        ASSERT_EQ(static_cast<int>(dots.size()), c.dots);
        EXPECT_EQ(dots.front(), c.firstDot);
        EXPECT_EQ(dots.back(), c.lastDot);
        const bool horizontal = c.figure.course == kCourseH;
        for (std::size_t i = 1; i + 1 < dots.size(); ++i) {
            const int delta = horizontal ? dots[i].left - dots[i - 1].left : dots[i].top - dots[i - 1].top;
            ASSERT_EQ(delta, c.step) << "dot " << i;
            const int length = horizontal ? dots[i].right - dots[i].left : dots[i].bottom - dots[i].top;
            ASSERT_EQ(length, c.firstDot.right - c.firstDot.left + c.firstDot.bottom - c.firstDot.top);
        }
        // The mapping is the page's again afterwards.
        EXPECT_EQ(canvas.dc.windowExt(), windowExt);
    }
}

TEST(FigureRenderer, DenseDotsDrawnSolidWhereTheyDoNotApply) {
    using namespace formdesc;
    struct Case {
        const char* name;
        RenderMode mode;
        int speed;
        FigureInfo figure;
    };
    const Case cases[] = {
        {"diagonal", RenderMode::Print, 0, line(2, 2, 6, 5, kCourseLU, kLineDenseDots, 0)},
        {"diagonal preview", RenderMode::Preview, 0, line(2, 2, 6, 5, kCourseRU, kLineDenseDots, 1)},
        {"print with SPEED", RenderMode::Print, 1, line(5, 2, 5, 4, kCourseV, kLineDenseDots, 0)},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas(c.mode);
        canvas.form.speed = c.speed;
        canvas.context.policy = policyOf(c.mode, canvas.form);
        canvas.draw(c.figure);
        EXPECT_EQ(canvas.lines().size(), 1u);
    }
    // The preview has no SPEED: still dotted.
    Canvas preview(RenderMode::Preview);
    preview.form.speed = 1;
    preview.context.policy = policyOf(RenderMode::Preview, preview.form);
    preview.draw(line(5, 2, 5, 4, kCourseV, kLineDenseDots, 1));
    EXPECT_GT(preview.lines().size(), 1u);
}

TEST(FigureRenderer, HugeRepetitionsAndCoordinatesStayBounded) {
    using namespace formdesc;
    struct Case {
        const char* name;
        FigureInfo figure;
        std::size_t maxLines;
    };
    const std::vector<Case> cases = {
        // Copies more than a page beyond the page are never visited.
        {"count 2^31-1 down", looped(line(5, 2, 5, 4, kCourseV), kLoopV, INT_MAX, 1), 200},
        {"count 2^31-1 right", looped(line(3, 2, 10, 2, kCourseH), kLoopH, INT_MAX, 1), 600},
        {"count 2^31-1 left", looped(line(3, 2, 10, 2, kCourseH), kLoopH, INT_MAX, -1), 600},
        {"pitch 0", looped(line(3, 2, 10, 2, kCourseH), kLoopH, INT_MAX, 0), 1},
        {"pitch 2^31-1", looped(line(3, 2, 10, 2, kCourseH), kLoopH, INT_MAX, INT_MAX), 1},
        {"pitch -2^31", looped(line(3, 2, 10, 2, kCourseV), kLoopV, INT_MAX, INT_MIN), 1},
        {"cells far outside", line(INT_MAX, INT_MIN, INT_MIN, INT_MAX, kCourseLU), 1},
        {"dense dots far outside", line(5, INT_MIN, 5, INT_MAX, kCourseV, kLineDenseDots, 0),
         3 * 7015 / 6 + 2},
        {"dense dots far left", line(INT_MIN, 2, INT_MAX, 2, kCourseH, kLineDenseDots, 4), 3 * 7015 / 11 + 2},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Canvas canvas;
        canvas.draw(c.figure);
        EXPECT_LE(canvas.lines().size(), c.maxLines);
        for (const Rect& r : canvas.lines()) {
            EXPECT_LE(std::abs(r.left), kCoordinateLimit);
            EXPECT_LE(std::abs(r.bottom), kCoordinateLimit);
        }
    }
    // Every copy that reaches the page is still drawn.
    Canvas canvas;
    canvas.draw(looped(line(5, 2, 5, 4, kCourseV), kLoopV, INT_MAX, 1));
    const std::vector<Rect> copies = canvas.lines();
    ASSERT_GE(copies.size(), 60u);
    EXPECT_EQ(copies[0], (Rect{166, 78, 166, 312}));
    EXPECT_EQ(copies[59], (Rect{166, 78 * 60, 166, 78 * 63}));
}
