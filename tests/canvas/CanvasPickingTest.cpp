#include "editor/canvas/FormCanvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QImage>
#include <QMenu>
#include <QTest>
#include <QTimer>

#include <memory>
#include <optional>

#include "formdesc/MessageSink.h"
#include "tests/support/CanvasDriver.h"
#include "tests/support/CanvasFixture.h"
#include "tests/support/FormRecords.h"

using editor::FormCanvas;

namespace {

formdesc::FigureInfo drawnFigure(int kind, int c1, int r1, int c2, int r2) {
    formdesc::FigureInfo f = testsupport::figureRecord(kind, c1, r1, c2, r2);
    f.lineWidth = formdesc::kWidthStandard;
    return f;
}

formdesc::FieldInfo fieldAt(int col, int row) {
    formdesc::FieldInfo f{};
    f.startCol = f.endCol = col;
    f.startRow = f.endRow = row;
    f.fontSize = 90;
    return f;
}

class PickingTest : public testsupport::CanvasFixture {
  protected:
    void SetUp() override { showCanvas({900, 800}, {0, 0, 880, 780}); }

    formdesc::FormModel& model() { return canvas->document().model(); }

    // What the user sees: the canvas as painted now.
    QImage shown() {
        canvas->viewport()->repaint();
        return canvas->viewport()->grab().toImage();
    }

    // The first black pixel from (x, y) a step at a time: where a line is drawn.
    static std::optional<QPoint> firstBlack(const QImage& image, QPoint from, QPoint step, int count) {
        for (QPoint p = from; count-- > 0; p += step)
            if (image.rect().contains(p) && qGray(image.pixel(p)) < 80)
                return p;
        return std::nullopt;
    }

    int selectedFigure() const {
        const auto entries = canvas->selection().entries();
        return entries.size() == 1 && entries[0].kind != formdesc::kKindField ? entries[0].index : -1;
    }

    // Clicks at p on a canvas with nothing selected: the figure taken, or -1.
    int clickAt(QPoint p) {
        canvas->clearSelection();
        mouse->click(p);
        return selectedFigure();
    }

    bool moveCrossAt(QPoint p) {
        canvas->clearSelection();
        mouse->move(p);
        return canvas->viewport()->testAttribute(Qt::WA_SetCursor);
    }
};

} // namespace

// A click on the outline the user sees, or up to three pixels off it, takes
// a frame-only rectangle and a line at every zoom; the cursor tells so.
TEST_F(PickingTest, DrawnOutlinesAndLinesArePickedWithinThreePixelsAtEveryZoom) {
    model().appendFigure(drawnFigure(formdesc::kKindRect, 6, 4, 12, 9)); // figure 0
    formdesc::FigureInfo line = drawnFigure(formdesc::kKindLine, 16, 6, 22, 6);
    line.course = formdesc::kCourseH;
    model().appendFigure(line); // figure 1
    canvas->document().recordChange();
    for (const int zoom : {50, 75, 100, 150, 200}) {
        canvas->setZoom(zoom);
        const QImage image = shown();
        // The frame's left edge and bottom edge, and the line, where drawn.
        const QPoint inside = mouse->at(9, 6);
        const auto left = firstBlack(image, inside, {-1, 0}, 200);
        const auto bottom = firstBlack(image, inside, {0, 1}, 200);
        const auto onLine = firstBlack(image, mouse->at(19, 7), {0, -1}, 200);
        ASSERT_TRUE(left && bottom && onLine) << zoom;
        // A pen wider than a pixel at this zoom: "below" counts from its last row.
        QPoint bottomEnd = *bottom;
        while (qGray(image.pixel(bottomEnd + QPoint(0, 1))) < 80)
            bottomEnd += QPoint(0, 1);
        struct Row {
            const char* name;
            QPoint at;
            int expected;
        };
        const Row rows[] = {
            {"left edge as drawn", *left, 0},
            {"three pixels left of it", *left - QPoint(3, 0), 0},
            {"three pixels right of it", *left + QPoint(3, 0), 0},
            {"bottom edge as drawn", *bottom, 0},
            {"three pixels below it", bottomEnd + QPoint(0, 3), 0},
            {"three pixels above it", *bottom - QPoint(0, 3), 0},
            {"seven pixels inside the frame", *left + QPoint(7, 0), -1},
            {"seven pixels outside the frame", *left - QPoint(7, 0), -1},
            {"the line as drawn", *onLine, 1},
            {"three pixels below the line", *onLine + QPoint(0, 3), 1},
            {"three pixels above the line", *onLine - QPoint(0, 3), 1},
            {"seven pixels below the line", *onLine + QPoint(0, 7), -1},
        };
        for (const Row& row : rows) {
            EXPECT_EQ(clickAt(row.at), row.expected) << zoom << "% " << row.name;
            EXPECT_EQ(moveCrossAt(row.at), row.expected >= 0) << zoom << "% cursor over " << row.name;
        }
    }
}

// A right click on an item that is not selected takes it alone before the
// menu opens, so that 削除 removes it; on a selected item the selection stays.
TEST_F(PickingTest, TheContextMenuActsOnTheItemUnderThePointer) {
    for (int i = 0; i < 3; ++i)
        model().appendField(fieldAt(5 + 10 * i, 5));
    canvas->document().recordChange();
    const auto chooseDelete = [this] {
        QTimer::singleShot(0, canvas.get(), [this] {
            if (QMenu* menu = canvas->contextMenu())
                QTest::keyClick(menu, Qt::Key_D);
        });
    };
    mouse->click(mouse->at(5, 5));
    chooseDelete();
    mouse->click(mouse->at(15, 5), Qt::RightButton); // not selected: taken alone
    ASSERT_EQ(model().fieldCount, 2);
    EXPECT_EQ(model().fields[0].startCol, 5);
    EXPECT_EQ(model().fields[1].startCol, 25);

    mouse->drag(mouse->at(3, 3), mouse->at(30, 7)); // both selected
    ASSERT_EQ(canvas->selection().size(), 2);
    chooseDelete();
    mouse->click(mouse->at(25, 5), Qt::RightButton); // selected: the selection stays
    EXPECT_EQ(model().fieldCount, 0);
}

// すべて選択 takes what the filter allows, at most 500, with the limit message beyond.
TEST_F(PickingTest, SelectAllFollowsTheFilterAndStopsAtTheLimit) {
    for (int i = 0; i < 520; ++i)
        model().appendField(fieldAt(1 + i % 40, 1 + i / 40));
    model().appendFigure(drawnFigure(formdesc::kKindRect, 50, 2, 55, 4));
    model().appendFigure(drawnFigure(formdesc::kKindBitmap, 50, 6, 55, 8));
    canvas->document().recordChange();
    canvas->setToolMode(formdesc::kKindField);
    struct Row {
        int filter;
        int expected;
        bool limit;
    };
    for (const Row& row : {Row{3, 1, false}, Row{4, 1, false}, Row{0, 500, true}, Row{1, 500, true}}) {
        messages.messages.clear();
        canvas->attributes().selectionFilter = row.filter;
        canvas->selectAll();
        EXPECT_EQ(canvas->selection().size(), row.expected) << row.filter;
        ASSERT_EQ(messages.messages.size(), row.limit ? 1u : 0u) << row.filter;
        if (row.limit)
            EXPECT_EQ(messages.messages[0].text, "登録限度に達しています");
    }
    EXPECT_EQ(canvas->selection().entries()[0].kind, formdesc::kKindField);
    EXPECT_EQ(canvas->toolMode(), formdesc::kKindBase);
}
