#include "editor/canvas/CanvasGeometry.h"

#include <gtest/gtest.h>

using editor::CanvasGeometry;
using editor::CanvasView;
using editor::CellPoint;
using editor::CellSpan;
using editor::ScrollAction;
using editor::ScrollBarState;

namespace {

// A4 landscape, 80 x 40 cells, 10 mm left margin, at 96 dpi: 5 mm is 18
// pixels, the origin (37, 18), cells 13 x 18, the page 1113 x 774.
formdesc::PageGeometry a4Page() {
    return {13, 18, 37, 18, 1113, 774};
}

CanvasView a4View(int zoom, int offsetX, int offsetY) {
    CanvasView view;
    view.page = a4Page();
    view.columns = 80;
    view.rows = 40;
    view.zoom = zoom;
    view.offsetX = offsetX;
    view.offsetY = offsetY;
    return view;
}

TEST(CanvasGeometry, PageFollowsPaperDirectionAndMargins) {
    struct Row {
        int paper, direction, left, top;
        formdesc::PageGeometry expected;
    };
    const Row rows[] = {
        {formdesc::kPaperA4, formdesc::kLandscape, 100, 0, {13, 18, 37, 18, 1113, 774}},
        // Portrait turns the paper: 793 x 1122 pixels.
        {formdesc::kPaperA4, formdesc::kPortrait, 100, 0, {9, 26, 37, 18, 793, 1094}},
        // A margin under 5 mm counts as 5 mm.
        {formdesc::kPaperA4, formdesc::kLandscape, 20, 30, {13, 18, 18, 18, 1094, 774}},
        // A code the model does not know is drawn as A4.
        {2, formdesc::kLandscape, 100, 0, {13, 18, 37, 18, 1113, 774}},
    };
    for (const Row& row : rows) {
        formdesc::FormInfo form{};
        form.paperSize = row.paper;
        form.direction = row.direction;
        form.columns = 80;
        form.rows = 40;
        form.leftMargin = row.left;
        form.topMargin = row.top;
        const formdesc::PageGeometry g = CanvasGeometry::pageGeometry(form, 96, 96);
        const formdesc::PageGeometry& e = row.expected;
        EXPECT_EQ(g.cellW, e.cellW) << row.paper << "/" << row.direction;
        EXPECT_EQ(g.cellH, e.cellH) << row.paper << "/" << row.direction;
        EXPECT_EQ(g.originX, e.originX) << row.left;
        EXPECT_EQ(g.originY, e.originY) << row.top;
        EXPECT_EQ(g.pageW, e.pageW) << row.paper << "/" << row.direction;
        EXPECT_EQ(g.pageH, e.pageH) << row.paper << "/" << row.direction;
    }
}

TEST(CanvasGeometry, ZoomIsClampedAndWholePageFitsTheWindow) {
    struct Row {
        int requested, clientW, clientH, expected;
    };
    const Row rows[] = {
        {75, 800, 600, 75},   {30, 800, 600, 50},  {250, 800, 600, 200},  {50, 800, 600, 50},
        {200, 800, 600, 200}, {-1, 1000, 500, 59}, {-1, 2000, 2000, 100}, // never above 100
        {-1, 600, 400, 50},   {-1, 10, 10, 50},                           // tiny window
    };
    for (const Row& row : rows) {
        const int fit = CanvasGeometry::fitZoom(a4Page(), row.clientW, row.clientH);
        EXPECT_EQ(CanvasGeometry::resolveZoom(row.requested, fit), row.expected)
            << row.requested << " in " << row.clientW << "x" << row.clientH;
    }
    EXPECT_EQ(CanvasGeometry::fitZoom({}, 800, 600), 100) << "an empty page";
}

TEST(CanvasGeometry, OffsetsCentreAFittingPageAndRecoverALostOne) {
    struct Row {
        bool across;
        int offset, page, client, expected;
    };
    const Row rows[] = {
        {true, 20, 500, 800, 150},    // fits across: centred
        {true, 20, 900, 800, 20},     // wider: stays
        {true, -300, 900, 800, -300}, // scrolled: stays
        {true, -1000, 900, 800, 20},  // scrolled out of sight: back to 20
        {false, -50, 700, 690, 20},   // fits down with 20 to spare: top at 20
        {false, -50, 800, 690, -50},  // taller: stays
        {false, -900, 800, 690, 20},  // out of sight
        {false, 300, 500, 800, 20},
    };
    for (const Row& row : rows) {
        const int got = row.across ? CanvasGeometry::recomputeOffsetX(row.offset, row.page, row.client)
                                   : CanvasGeometry::recomputeOffsetY(row.offset, row.page, row.client);
        EXPECT_EQ(got, row.expected) << (row.across ? "x " : "y ") << row.offset << " " << row.page << " "
                                     << row.client;
    }
}

TEST(CanvasGeometry, ScrollBarShowsWhereThePageIs) {
    struct Row {
        int page, client, offset;
        ScrollBarState expected;
    };
    const Row rows[] = {
        {500, 800, 150, {false, 1, 0, 0}},      // fits: hidden
        {1113, 800, 20, {true, 12, 0, 65}},     // at the start: unit 12, page (800 - 20) / 12
        {1113, 800, -120, {true, 12, 10, 66}},  // in the middle
        {1113, 800, -400, {true, 12, 100, 59}}, // the rest fits: at the end
        {800, 800, 0, {true, 8, 0, 100}},       // exactly as wide: shown
    };
    for (const Row& row : rows)
        EXPECT_EQ(CanvasGeometry::scrollBar(row.page, row.client, row.offset), row.expected)
            << row.page << " " << row.client << " " << row.offset;
}

TEST(CanvasGeometry, ScrollingStopsTwentyPixelsPastEitherEnd) {
    struct Row {
        ScrollAction action;
        int position, offset, page, client, expected;
    };
    // A page of 1113 in 800: one line is 12, the far end stops at 800 - 20 - 1113 = -333.
    const Row rows[] = {
        {ScrollAction::LineDown, 0, 20, 1113, 800, 8},
        {ScrollAction::LineUp, 0, -100, 1113, 800, -88},
        {ScrollAction::LineUp, 0, 20, 1113, 800, 20},
        {ScrollAction::LineDown, 0, -330, 1113, 800, -333},
        {ScrollAction::PageDown, 0, 20, 1113, 800, -333},
        {ScrollAction::PageUp, 0, -333, 1113, 800, 20},
        {ScrollAction::ThumbPosition, 0, -200, 1113, 800, 20},
        {ScrollAction::ThumbPosition, 10, 20, 1113, 800, -120},
        {ScrollAction::ThumbPosition, 100, 20, 1113, 800, -333},
        {ScrollAction::PageDown, 0, 150, 500, 800, 150}, // a page that fits does not move
    };
    for (const Row& row : rows)
        EXPECT_EQ(CanvasGeometry::scroll(row.action, row.position, row.offset, row.page, row.client),
                  row.expected)
            << static_cast<int>(row.action) << " " << row.position << " from " << row.offset;
}

TEST(CanvasGeometry, ItemBoxesInPagePixels) {
    // Field: full cells. Figure: from the middle of the first column to the
    // middle of the last, from the top of the first row to the bottom of the last.
    const CellSpan cells{2, 3, 4, 3};
    EXPECT_EQ(CanvasGeometry::fieldBox(a4Page(), cells), (platform::Rect{50, 54, 89, 72}));
    EXPECT_EQ(CanvasGeometry::figureBox(a4Page(), cells), (platform::Rect{56, 54, 82, 72}));
}

TEST(CanvasGeometry, WindowRectanglesOfItems) {
    struct Row {
        const char* what;
        int zoom, offsetX, offsetY;
        CellSpan cells;
        int course; // 0: field, -1: figure, else a line's course
        platform::Rect expected;
    };
    const Row rows[] = {
        {"field", 100, 20, 20, {2, 3, 4, 3}, 0, {69, 73, 111, 94}},
        {"field at 50 %", 50, -10, 5, {2, 3, 4, 3}, 0, {14, 31, 36, 43}},
        {"figure", 100, 20, 20, {2, 3, 4, 3}, -1, {75, 73, 104, 94}},
        {"horizontal line", 100, 20, 20, {2, 3, 4, 3}, formdesc::kCourseH, {75, 73, 104, 76}},
        {"vertical line", 100, 20, 20, {2, 3, 2, 5}, formdesc::kCourseV, {75, 73, 78, 130}},
        {"slanted line", 100, 20, 20, {2, 3, 4, 5}, formdesc::kCourseLU, {75, 73, 104, 130}},
    };
    for (const Row& row : rows) {
        const CanvasView view = a4View(row.zoom, row.offsetX, row.offsetY);
        const platform::Rect got = row.course == 0 ? CanvasGeometry::fieldWindowRect(view, row.cells)
                                   : row.course == -1
                                       ? CanvasGeometry::figureWindowRect(view, row.cells)
                                       : CanvasGeometry::lineWindowRect(view, row.cells, row.course);
        EXPECT_EQ(got, row.expected) << row.what;
    }
}

TEST(CanvasGeometry, WindowPointToCell) {
    struct Row {
        int zoom, offsetX, offsetY, x, y;
        CellPoint expected;
    };
    const Row rows[] = {
        {100, 20, 20, 70, 74, {1, 2}},       // on the lines after column 1 and row 2
        {100, 20, 20, 71, 75, {2, 3}},       // one pixel further
        {100, 20, 20, 0, 0, {1, 1}},         // left of and above the grid
        {100, 20, 20, 5000, 5000, {80, 40}}, // beyond the grid
        {50, -10, 5, 15, 32, {1, 2}},        {50, -10, 5, 16, 33, {2, 3}},
    };
    for (const Row& row : rows)
        EXPECT_EQ(CanvasGeometry::windowPointToCell(a4View(row.zoom, row.offsetX, row.offsetY), row.x, row.y),
                  row.expected)
            << row.zoom << "%: " << row.x << "," << row.y;
}

TEST(CanvasGeometry, SpansAreMovedBackIntoTheGrid) {
    struct Row {
        CellSpan in, expected;
    };
    const Row rows[] = {
        {{1, 1, 5, 5}, {1, 1, 5, 5}},
        {{-2, 3, 4, 5}, {1, 3, 7, 5}},
        {{0, 0, 2, 2}, {1, 1, 3, 3}},
        {{78, 39, 83, 42}, {75, 37, 80, 40}},
        // Wider than the grid: each edge comes from the span as given, so it ends at the last column.
        {{-1, 1, 85, 1}, {-6, 1, 80, 1}},
    };
    for (const Row& row : rows) {
        const CellSpan got = CanvasGeometry::clampIntoGrid(row.in, 80, 40);
        EXPECT_EQ(got, row.expected) << row.in.col1 << "," << row.in.row1 << "-" << row.in.col2 << ","
                                     << row.in.row2;
    }
}

} // namespace
