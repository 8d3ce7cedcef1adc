#include "editor/canvas/ItemTracker.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <vector>

using editor::CanvasGeometry;
using editor::CellSpan;
using editor::ItemTracker;
using editor::TrackerHit;

namespace {

// The new form's page at 100 % on a 96 dpi screen, 20 pixels from the window's corner.
editor::CanvasView newFormView() {
    formdesc::FormModel model;
    model.setNewFormDefaults();
    editor::CanvasView view;
    view.page = CanvasGeometry::pageGeometry(model.form, 96, 96);
    view.columns = model.form.columns;
    view.rows = model.form.rows;
    return view;
}

} // namespace

TEST(ItemTracker, HandlesShowByTheSizeOfTheRectangleAndAreHitOutsideIt) {
    const platform::Rect wide{100, 100, 200, 103}; // too low for the side handles
    EXPECT_EQ(ItemTracker::handleMask(wide), 0x0Fu | 0x10u | 0x40u);
    EXPECT_EQ(ItemTracker::handleMask({100, 100, 104, 200}), 0x0Fu | 0x20u | 0x80u);
    EXPECT_EQ(ItemTracker::handleMask({100, 100, 105, 105}), 0xFFu);

    const platform::Rect r{100, 100, 200, 150};
    const struct {
        int x, y;
        TrackerHit expected;
    } rows[] = {
        {97, 97, TrackerHit::TopLeft},       {201, 97, TrackerHit::TopRight},
        {202, 152, TrackerHit::BottomRight}, {97, 151, TrackerHit::BottomLeft},
        {150, 97, TrackerHit::Top},          {202, 125, TrackerHit::Right},
        {150, 152, TrackerHit::Bottom},      {97, 125, TrackerHit::Left},
        {150, 125, TrackerHit::Middle},      {120, 98, TrackerHit::Middle},
        {96, 96, TrackerHit::TopLeft},       {95, 125, TrackerHit::Nothing},
        {204, 154, TrackerHit::Nothing},
    };
    for (const auto& row : rows)
        EXPECT_EQ(ItemTracker::hitTest(r, row.x, row.y), row.expected) << row.x << "," << row.y;
    // A missing handle is body: the middle of the left edge of a low rectangle.
    EXPECT_EQ(ItemTracker::hitTest(wide, 97, 101), TrackerHit::Middle);
}

TEST(ItemTracker, AResizeMovesOnlyTheEdgesOfItsHandleAndNeverInverts) {
    const editor::CanvasView view = newFormView();
    editor::Selection selection;
    selection.add({{20, 20, 30, 30}, formdesc::kKindRect, 0, 0});
    const platform::Rect r = CanvasGeometry::figureWindowRect(view, {20, 20, 30, 30});
    const int cellW = view.page.cellW;
    const int cellH = view.page.cellH;
    const struct {
        TrackerHit hit;
        int dx, dy;
        CellSpan expected;
    } rows[] = {
        {TrackerHit::Right, 5 * cellW, 7 * cellH, {20, 20, 35, 30}},
        {TrackerHit::Bottom, 5 * cellW, 7 * cellH, {20, 20, 30, 37}},
        {TrackerHit::TopLeft, -3 * cellW, -2 * cellH, {17, 18, 30, 30}},
        {TrackerHit::TopLeft, 1, 1, {20, 20, 30, 30}},
        {TrackerHit::BottomRight, 1, 1, {20, 20, 30, 30}},
        // An edge snaps to the nearest grid line.
        {TrackerHit::Bottom, 0, cellH * 2 / 5, {20, 20, 30, 30}},
        {TrackerHit::Bottom, 0, cellH * 3 / 5 + 1, {20, 20, 30, 31}},
        {TrackerHit::Right, cellW * 3 / 5 + 1, 0, {20, 20, 31, 30}},
        {TrackerHit::TopLeft, 40 * cellW, 40 * cellH, {30, 30, 30, 30}},
        {TrackerHit::BottomRight, 5000, 5000, {20, 20, 180, 60}},
        {TrackerHit::Left, -1000, 0, {1, 20, 30, 30}},
    };
    for (const auto& row : rows) {
        const platform::Rect handle = ItemTracker::handleRect(r, row.hit);
        const int x = handle.left + 1;
        const int y = handle.top + 1;
        ItemTracker tracker = ItemTracker::moveOrResize(view, selection, 0, row.hit, x, y);
        tracker.track(view, x + row.dx, y + row.dy);
        EXPECT_EQ(tracker.cells(), row.expected) << int(row.hit) << " by " << row.dx << "," << row.dy;
        EXPECT_EQ(tracker.dragged(), tracker.cells() != CellSpan({20, 20, 30, 30}));
    }
}

TEST(ItemTracker, AMovedSelectionKeepsItsSizeInsideTheGrid) {
    const editor::CanvasView view = newFormView();
    editor::Selection selection;
    selection.add({{10, 10, 15, 10}, formdesc::kKindField, 0, 0});
    selection.add({{12, 12, 20, 14}, formdesc::kKindRect, 0, 0});
    const platform::Rect r = CanvasGeometry::fieldWindowRect(view, {10, 10, 15, 10});
    const int x = r.left + 5;
    const int y = r.top + 5;
    const struct {
        int dx, dy;
        CellSpan expected;
    } rows[] = {
        {0, 0, {10, 10, 20, 14}},
        {3 * view.page.cellW, 2 * view.page.cellH, {13, 12, 23, 16}},
        {-5000, -5000, {1, 1, 11, 5}},
        {5000, 5000, {170, 56, 180, 60}},
    };
    for (const auto& row : rows) {
        ItemTracker tracker = ItemTracker::moveOrResize(view, selection, 0, TrackerHit::Middle, x, y);
        tracker.track(view, x + row.dx, y + row.dy);
        EXPECT_EQ(tracker.cells(), row.expected) << row.dx;
        EXPECT_EQ(tracker.dragged(), row.dx != 0);
    }
}

// The marks written straight into an image are the painter's pixels: the
// hatch lined up the same way, the handles over the borders, overlapping
// marks and marks cut by the image's edges included, and written band by band.
TEST(ItemTracker, MarksWrittenIntoAnImageAreThePaintersPixels) {
    const std::vector<platform::Rect> marks = {
        {10, 10, 60, 16}, {13, 12, 40, 40},  {-30, -5, 20, 9}, {150, 90, 230, 130},
        {70, 70, 70, 70}, {100, 20, 90, 60}, {5, 110, 9, 125}, {190, 2, 260, 8},
    };
    QImage background(200, 120, QImage::Format_RGB32);
    for (int y = 0; y < background.height(); ++y)
        for (int x = 0; x < background.width(); ++x)
            background.setPixel(x, y, qRgb(x, y, (x * y) & 0xFF));

    QImage painted = background;
    {
        QPainter painter(&painted);
        ItemTracker::drawMarks(painter, marks);
    }
    QImage written = background;
    ASSERT_TRUE(ItemTracker::drawMarks(written, marks));
    EXPECT_EQ(written, painted);
    // Band by band, as two threads write them, the same pixels.
    QImage banded = background;
    for (const int top : {0, 37, 61})
        ItemTracker::drawMarks(banded, marks, QRect(0, top, 200, top == 61 ? 59 : (top == 0 ? 37 : 24)));
    EXPECT_EQ(banded, painted);

    QImage other = background.convertToFormat(QImage::Format_RGB888);
    EXPECT_FALSE(ItemTracker::drawMarks(other, marks));
}
