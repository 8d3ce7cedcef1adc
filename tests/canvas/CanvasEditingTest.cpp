#include "editor/canvas/FormCanvas.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QMenu>
#include <QMimeData>
#include <QPixmap>
#include <QScrollBar>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>

#include <cstring>
#include <functional>
#include <memory>

#include "formdesc/MessageSink.h"
#include "tests/support/CanvasDriver.h"
#include "tests/support/CanvasFixture.h"
#include "tests/support/FormRecords.h"

using editor::CellSpan;
using editor::FormCanvas;

namespace {

formdesc::FieldInfo fieldRecord(int c1, int r1, int c2) {
    formdesc::FieldInfo f{};
    f.startCol = c1;
    f.startRow = r1;
    f.endCol = c2;
    f.endRow = r1;
    f.fontSize = 90;
    return f;
}

// A figure as the designer holds it: drawn with the standard line.
formdesc::FigureInfo figureRecord(int kind, int c1, int r1, int c2, int r2) {
    formdesc::FigureInfo f = testsupport::figureRecord(kind, c1, r1, c2, r2);
    if (kind != formdesc::kKindBitmap)
        f.lineWidth = formdesc::kWidthStandard;
    else
        f.lineType = 0;
    return f;
}

CellSpan spanOf(const formdesc::FieldInfo& f) {
    return editor::CanvasGeometry::spanOf(f);
}
CellSpan spanOf(const formdesc::FigureInfo& f) {
    return editor::CanvasGeometry::spanOf(f);
}

class EditingTest : public testsupport::CanvasFixture {
  protected:
    void SetUp() override {
        showCanvas({800, 800}, {0, 0, 780, 700});
        canvas->setModeKeep(true);
    }

    formdesc::FormModel& model() { return canvas->document().model(); }

    // Adds records as if they were read from a file: the starting point of an undo history.
    void place(std::initializer_list<formdesc::FieldInfo> fields,
               std::initializer_list<formdesc::FigureInfo> figures = {}) {
        for (const auto& f : fields)
            model().appendField(f);
        for (const auto& f : figures)
            model().appendFigure(f);
        canvas->document().recordChange();
    }

    std::vector<std::pair<int, int>> selected() const {
        std::vector<std::pair<int, int>> out;
        for (const auto& e : canvas->selection().entries())
            out.emplace_back(e.kind, e.index);
        return out;
    }
};

} // namespace

TEST_F(EditingTest, DrawingSnapsToCellsWithTheDownwardCorrection) {
    struct Row {
        const char* name;
        int tool;
        int fromCol, fromRow, fromFy, toCol, toRow, toFy;
        CellSpan expected;
    };
    const Row rows[] = {
        {"field dragged down from mid row 5 to mid row 7", 11, 3, 5, 50, 9, 7, 50, {3, 6, 9, 6}},
        {"field dragged within row 5", 11, 3, 5, 20, 9, 5, 80, {3, 5, 9, 5}},
        {"field dragged up from row 7 to row 5", 11, 3, 7, 50, 9, 5, 50, {3, 5, 9, 5}},
        {"rectangle dragged down from mid row 5 to mid row 7", 22, 3, 5, 50, 9, 7, 50, {3, 6, 9, 7}},
        {"rectangle dragged up and left", 22, 9, 7, 50, 3, 5, 50, {3, 5, 9, 7}},
    };
    for (const Row& row : rows) {
        canvas->document().newForm();
        canvas->setToolMode(row.tool);
        QSignalSpy start(canvas.get(), &FormCanvas::startCellChanged);
        mouse->drag(mouse->at(row.fromCol, row.fromRow, 50, row.fromFy),
                    mouse->at(row.toCol, row.toRow, 50, row.toFy));
        const bool field = row.tool == 11;
        ASSERT_EQ(field ? model().fieldCount : model().figureCount, 1) << row.name;
        EXPECT_EQ(field ? spanOf(model().fields[0]) : spanOf(model().figures[0]), row.expected) << row.name;
        EXPECT_EQ(selected(), (std::vector<std::pair<int, int>>{{row.tool, 0}})) << row.name;
        // The start display shows where the item begins.
        ASSERT_FALSE(start.isEmpty());
        EXPECT_EQ(start.last(), (QList<QVariant>{row.expected.row1, row.expected.col1})) << row.name;
    }
}

TEST_F(EditingTest, NewItemsTakeTheCurrentAttributesAndLinesFollowTheirCourse) {
    auto& attributes = canvas->attributes();
    attributes.lineCourse = formdesc::kCourseV;
    attributes.lineType = formdesc::kLineDash;
    attributes.lineColor = formdesc::rgb(10, 20, 30);
    canvas->setToolMode(21);
    mouse->drag(mouse->at(3, 4), mouse->at(9, 8));
    ASSERT_EQ(model().figureCount, 1);
    const formdesc::FigureInfo& line = model().figures[0];
    // The band went down from inside row 4, so it starts on row 5.
    EXPECT_EQ(spanOf(line), (CellSpan{3, 5, 3, 8}));
    EXPECT_EQ(line.course, formdesc::kCourseV);
    EXPECT_EQ(line.lineType, formdesc::kLineDash);
    EXPECT_EQ(line.lineColor, formdesc::rgb(10, 20, 30));
    EXPECT_EQ(canvas->selection().entries()[0].course, formdesc::kCourseV);

    // Without ModeKeep the tool goes back to the range selection after the press.
    canvas->setModeKeep(false);
    attributes.lineCourse = formdesc::kCourseH;
    mouse->drag(mouse->at(3, 20), mouse->at(9, 24));
    EXPECT_EQ(spanOf(model().figures[1]), (CellSpan{3, 21, 9, 21}));
    EXPECT_EQ(canvas->toolMode(), 1);
}

TEST_F(EditingTest, CreatingPastTheLimitWarnsAndAddsNothing) {
    for (int i = 0; i < formdesc::kMaxItems; ++i)
        model().appendField(fieldRecord(1, 1, 2));
    canvas->setToolMode(11);
    mouse->drag(mouse->at(3, 5), mouse->at(9, 5));
    EXPECT_EQ(model().fieldCount, formdesc::kMaxItems);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "登録限度に達しています");
    EXPECT_EQ(messages.messages[0].caption, "警告");
}

TEST_F(EditingTest, PickingFollowsTheFilterAndFramesAreHitOnTheirOutline) {
    formdesc::FigureInfo frame = figureRecord(formdesc::kKindRect, 20, 10, 30, 20);
    formdesc::FigureInfo filled = figureRecord(formdesc::kKindRect, 40, 10, 50, 20);
    filled.meshKind() = formdesc::kMeshFillOnly;
    place({fieldRecord(5, 5, 10)}, {frame, filled, figureRecord(formdesc::kKindBitmap, 60, 10, 70, 20)});
    const platform::Rect frameRect =
        editor::CanvasGeometry::figureWindowRect(canvas->view(), {20, 10, 30, 20});
    struct Row {
        const char* name;
        int filter;
        QPoint at;
        std::vector<std::pair<int, int>> expected;
    };
    const Row rows[] = {
        {"field", 0, mouse->at(7, 5), {{11, 0}}},
        {"middle of a frame", 0, mouse->at(25, 15), {}},
        {"edge of a frame", 0, QPoint(frameRect.left, frameRect.top + 30), {{22, 0}}},
        {"middle of a filled rectangle", 0, mouse->at(45, 15), {{22, 1}}},
        {"bitmap", 0, mouse->at(65, 15), {{24, 2}}},
        {"field under the bitmap filter", 4, mouse->at(7, 5), {}},
        {"bitmap under the bitmap filter", 4, mouse->at(65, 15), {{24, 2}}},
        {"bitmap under the field filter", 1, mouse->at(65, 15), {}},
    };
    for (const Row& row : rows) {
        canvas->attributes().selectionFilter = row.filter;
        canvas->clearSelection(); // a press on a selected item would move it
        mouse->click(row.at);
        EXPECT_EQ(selected(), row.expected) << row.name;
    }
}

TEST_F(EditingTest, RangeSelectionTakesWholeItemsEitherWayItIsDragged) {
    place(
        {fieldRecord(5, 5, 10), fieldRecord(5, 30, 10)},
        {figureRecord(formdesc::kKindRect, 12, 4, 20, 8), figureRecord(formdesc::kKindBitmap, 22, 4, 24, 8)});
    const std::vector<std::pair<int, int>> expected{{11, 0}, {22, 0}, {24, 1}};
    mouse->drag(mouse->at(4, 3), mouse->at(25, 9));
    EXPECT_EQ(selected(), expected);
    mouse->drag(mouse->at(25, 9), mouse->at(4, 3));
    EXPECT_EQ(selected(), expected);
    canvas->attributes().selectionFilter = 4;
    mouse->drag(mouse->at(4, 3), mouse->at(25, 9));
    EXPECT_EQ(selected(), (std::vector<std::pair<int, int>>{{24, 1}}));
    // A band that cuts an item leaves it out.
    canvas->attributes().selectionFilter = 0;
    mouse->drag(mouse->at(4, 3), mouse->at(15, 9));
    EXPECT_EQ(selected(), (std::vector<std::pair<int, int>>{{11, 0}}));
}

TEST_F(EditingTest, DraggingMovesTheSelectionAndAHandleResizesOneItem) {
    place({fieldRecord(5, 5, 10)}, {figureRecord(formdesc::kKindRect, 5, 8, 10, 12)});
    mouse->drag(mouse->at(4, 4), mouse->at(11, 13));
    ASSERT_EQ(canvas->selection().size(), 2);

    QSignalSpy start(canvas.get(), &FormCanvas::startCellChanged);
    mouse->drag(mouse->at(7, 5), mouse->at(10, 7));
    EXPECT_EQ(spanOf(model().fields[0]), (CellSpan{8, 7, 13, 7}));
    EXPECT_EQ(spanOf(model().figures[0]), (CellSpan{8, 10, 13, 14}));
    ASSERT_FALSE(start.isEmpty());
    EXPECT_EQ(start.last(), (QList<QVariant>{7, 8}));

    // Far past the grid's corner, the whole selection stops at the edge.
    mouse->drag(mouse->at(9, 7), mouse->at(180, 60, 99, 99) + QPoint(300, 300));
    EXPECT_EQ(spanOf(model().figures[0]).col2, 180);
    EXPECT_EQ(spanOf(model().figures[0]).row2, 60);
    EXPECT_EQ(spanOf(model().fields[0]).col2 - spanOf(model().fields[0]).col1, 5);

    // The rectangle's right handle widens it alone; its top handle cannot pass its bottom.
    model().figures[0] = figureRecord(formdesc::kKindRect, 20, 20, 30, 30);
    const platform::Rect r = editor::CanvasGeometry::figureWindowRect(canvas->view(), {20, 20, 30, 30});
    mouse->click(QPoint((r.left + r.right) / 2, r.top));
    ASSERT_EQ(selected(), (std::vector<std::pair<int, int>>{{22, 0}}));
    const QPoint rightHandle(r.right + 2, (r.top + r.bottom) / 2);
    mouse->drag(rightHandle, rightHandle + QPoint(10 * canvas->view().page.cellW, 50));
    EXPECT_EQ(spanOf(model().figures[0]), (CellSpan{20, 20, 40, 30}));
    const platform::Rect wide = editor::CanvasGeometry::figureWindowRect(canvas->view(), {20, 20, 40, 30});
    mouse->drag(QPoint((wide.left + wide.right) / 2, wide.top - 2), mouse->at(30, 50));
    EXPECT_EQ(spanOf(model().figures[0]), (CellSpan{20, 30, 40, 30}));
}

TEST_F(EditingTest, EscapeOrTheRightButtonAbandonADrag) {
    place({fieldRecord(5, 5, 10)});
    mouse->click(mouse->at(7, 5));
    const formdesc::FormModel before = model();

    mouse->press(mouse->at(7, 5));
    mouse->move(mouse->at(20, 20));
    mouse->key(Qt::Key_Escape);
    mouse->release(mouse->at(20, 20));
    EXPECT_TRUE(formdesc::sameBytes(model(), before));

    canvas->setToolMode(11);
    mouse->press(mouse->at(30, 30));
    mouse->move(mouse->at(40, 30));
    mouse->press(mouse->at(40, 30), Qt::RightButton);
    mouse->release(mouse->at(40, 30), Qt::RightButton);
    mouse->release(mouse->at(40, 30));
    EXPECT_TRUE(formdesc::sameBytes(model(), before));
    EXPECT_FALSE(canvas->isDragging());
}

TEST_F(EditingTest, ArrowKeysMoveTheSelectionAndStopItemsAtTheEdge) {
    place({fieldRecord(175, 5, 180), fieldRecord(5, 5, 10)});
    mouse->drag(mouse->at(1, 4), mouse->at(180, 6, 100, 50) + QPoint(20, 0));
    ASSERT_EQ(canvas->selection().size(), 2);
    QSignalSpy end(canvas.get(), &FormCanvas::endCellChanged);
    mouse->key(Qt::Key_Right);
    EXPECT_EQ(spanOf(model().fields[0]), (CellSpan{175, 5, 180, 5}));
    EXPECT_EQ(spanOf(model().fields[1]), (CellSpan{6, 5, 11, 5}));
    mouse->key(Qt::Key_Up);
    EXPECT_EQ(spanOf(model().fields[1]), (CellSpan{6, 4, 11, 4}));
    EXPECT_EQ(end.last(), (QList<QVariant>{4, 180}));
}

TEST_F(EditingTest, TheMagnifierZoomsByTensAndDoesNothingElse) {
    place({fieldRecord(5, 5, 10)});
    // Our own cursors: the move cross over a selected item, the magnifier in that mode.
    mouse->click(mouse->at(7, 5));
    mouse->move(mouse->at(7, 5));
    const QPixmap move = canvas->viewport()->cursor().pixmap();
    EXPECT_FALSE(move.isNull());
    canvas->clearSelection();
    canvas->setMagnifierMode(true);
    mouse->move(mouse->at(7, 5));
    const QPixmap magnifier = canvas->viewport()->cursor().pixmap();
    ASSERT_FALSE(magnifier.isNull());
    EXPECT_NE(magnifier.toImage(), move.toImage());
    struct Row {
        int from;
        Qt::MouseButton button;
        int expected;
    };
    const Row rows[] = {{100, Qt::LeftButton, 110}, {100, Qt::RightButton, 90}, {87, Qt::LeftButton, 90},
                        {87, Qt::RightButton, 80},  {200, Qt::LeftButton, 200}, {50, Qt::RightButton, 50}};
    for (const Row& row : rows) {
        canvas->setZoom(row.from);
        mouse->click(mouse->at(7, 5), row.button);
        EXPECT_EQ(canvas->zoom(), row.expected) << row.from;
        EXPECT_FALSE(canvas->hasSelection());
    }
}

TEST_F(EditingTest, DoubleClickOpensTheSheetOfTheItemUnderThePointer) {
    formdesc::FigureInfo filled = figureRecord(formdesc::kKindRect, 20, 10, 30, 20);
    filled.meshKind() = formdesc::kMeshFrameAndFill;
    place({fieldRecord(5, 5, 10)}, {filled});
    std::vector<int> opened;
    canvas->setSheetOpener([&](FormCanvas& c, int kind) {
        opened.push_back(kind);
        c.document().model().figures[std::size_t(c.currentItemIndex())].endCol = 35;
        return true;
    });
    mouse->click(mouse->at(45, 45)); // nothing selected: no sheet
    mouse->doubleClick(mouse->at(45, 45));
    mouse->click(mouse->at(25, 15));
    mouse->doubleClick(mouse->at(25, 15));
    EXPECT_EQ(opened, std::vector<int>{22});
    EXPECT_EQ(canvas->selection().entries()[0].cells, (CellSpan{20, 10, 35, 20}));
    EXPECT_TRUE(canvas->document().canUndo());
}

namespace {

// Chooses an entry of the context menu by its key, as a user does.
void chooseFromContextMenu(FormCanvas& canvas, Qt::Key key) {
    QTimer::singleShot(0, &canvas, [&canvas, key] {
        if (QMenu* menu = canvas.contextMenu())
            QTest::keyClick(menu, key);
    });
}

QByteArray clipboardBlock() {
    const QMimeData* data = QApplication::clipboard()->mimeData();
    return data ? data->data(QStringLiteral("TABRIK_FORMAT")) : QByteArray();
}

void putOnClipboard(const QByteArray& block) {
    auto* data = new QMimeData;
    data->setData(QStringLiteral("TABRIK_FORMAT"), block);
    QApplication::clipboard()->setMimeData(data);
}

} // namespace

TEST_F(EditingTest, CopiedItemsPasteAtTheContextMenusCellOrTheTopLeftVisibleCell) {
    place({fieldRecord(5, 5, 10)}, {figureRecord(formdesc::kKindRect, 12, 4, 20, 8)});
    EXPECT_FALSE(canvas->canPaste());
    mouse->drag(mouse->at(4, 3), mouse->at(21, 9));
    canvas->copySelection();
    EXPECT_TRUE(canvas->canPaste());
    EXPECT_EQ(clipboardBlock().size(), 28 + 228 + 280);

    chooseFromContextMenu(*canvas, Qt::Key_P);
    mouse->click(mouse->at(50, 30), Qt::RightButton);
    ASSERT_EQ(model().fieldCount, 2);
    EXPECT_EQ(spanOf(model().fields[1]), (CellSpan{50, 31, 55, 31}));
    EXPECT_EQ(spanOf(model().figures[1]), (CellSpan{57, 30, 65, 34}));
    EXPECT_EQ(selected(), (std::vector<std::pair<int, int>>{{11, 1}, {22, 1}}));

    // Scrolled at 200 %: the block's corner lands on the top-left visible cell.
    canvas->setZoom(200);
    canvas->clearSelection();
    for (int i = 0; i < 10; ++i)
        canvas->verticalScrollBar()->triggerAction(QAbstractSlider::SliderPageStepAdd);
    const editor::CellPoint corner = editor::CanvasGeometry::windowPointToCell(canvas->view(), 0, 0);
    ASSERT_GT(corner.row, 1);
    canvas->pasteItems();
    EXPECT_EQ(spanOf(model().fields[2]),
              (CellSpan{corner.col, corner.row + 1, corner.col + 5, corner.row + 1}));
}

TEST_F(EditingTest, CutAndPasteMovesItemsAndABlockPastTheGridComesBackInside) {
    place({fieldRecord(5, 5, 10), fieldRecord(5, 7, 8)});
    mouse->drag(mouse->at(4, 4), mouse->at(11, 8));
    canvas->cutSelection();
    EXPECT_EQ(model().fieldCount, 0);
    chooseFromContextMenu(*canvas, Qt::Key_P);
    mouse->click(mouse->at(178, 59), Qt::RightButton);
    ASSERT_EQ(model().fieldCount, 2);
    // Each item is pushed back on its own: the long one ends at the last column.
    EXPECT_EQ(spanOf(model().fields[0]), (CellSpan{175, 59, 180, 59}));
    EXPECT_EQ(spanOf(model().fields[1]), (CellSpan{177, 60, 180, 60}));
}

TEST_F(EditingTest, BlocksFromOutsideAreCheckedBeforeUse) {
    place({fieldRecord(5, 5, 10)});
    mouse->click(mouse->at(7, 5));
    canvas->copySelection(); // Paste is offered from now on

    formdesc::FieldInfo field = fieldRecord(2, 3, 4);
    std::strcpy(field.tag, "ABC");
    const auto header = [](std::initializer_list<std::int32_t> values) {
        QByteArray bytes;
        for (std::int32_t v : values)
            for (int i = 0; i < 4; ++i)
                bytes.append(char((std::uint32_t(v) >> (8 * i)) & 0xFF));
        return bytes;
    };
    const QByteArray record(reinterpret_cast<const char*>(&field), sizeof field);
    struct Row {
        const char* name;
        QByteArray block;
        int fieldsAfter;
    };
    const Row rows[] = {
        {"length that does not add up", header({2, 3, 4, 3, 1, 0, 200}) + record, 1},
        {"records cut short", header({2, 3, 4, 3, 1, 0, 228}) + record.left(100), 1},
        {"a count past every limit", header({2, 3, 4, 3, 100000, 0, 228}) + record, 1},
        {"written by hand and sound", header({2, 3, 4, 3, 1, 0, 228}) + record, 2},
    };
    for (const Row& row : rows) {
        putOnClipboard(row.block);
        canvas->pasteItems();
        EXPECT_EQ(model().fieldCount, row.fieldsAfter) << row.name;
    }
    EXPECT_STREQ(model().fields[1].tag, "ABC");
}

TEST_F(EditingTest, APastePastTheLimitIsRefusedWhole) {
    for (int i = 0; i < formdesc::kMaxItems - 1; ++i)
        model().appendField(fieldRecord(100, 50, 101));
    model().appendField(fieldRecord(5, 5, 10));
    canvas->document().recordChange();
    mouse->click(mouse->at(7, 5));
    canvas->copySelection();
    canvas->pasteItems();
    EXPECT_EQ(model().fieldCount, formdesc::kMaxItems);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, "登録限度に達しています");
}

TEST_F(EditingTest, DeletingKeepsTheOrderOfTheRest) {
    place({fieldRecord(5, 5, 10), fieldRecord(5, 7, 10), fieldRecord(5, 9, 10)},
          {figureRecord(formdesc::kKindBitmap, 20, 5, 22, 7)});
    mouse->click(mouse->at(7, 7));
    chooseFromContextMenu(*canvas, Qt::Key_D);
    mouse->click(mouse->at(7, 7), Qt::RightButton);
    ASSERT_EQ(model().fieldCount, 2);
    EXPECT_EQ(spanOf(model().fields[0]).row1, 5);
    EXPECT_EQ(spanOf(model().fields[1]).row1, 9);
    EXPECT_EQ(model().figureCount, 1);
    EXPECT_FALSE(canvas->hasSelection());
}

TEST_F(EditingTest, UndoAndRedoWalkBackAndForthThroughEveryKindOfChange) {
    std::vector<formdesc::FormModel> states{model()};
    const auto step = [&](auto change) {
        change();
        states.push_back(model());
    };
    step([&] {
        canvas->setToolMode(11);
        mouse->drag(mouse->at(5, 5), mouse->at(10, 5));
        canvas->setToolMode(1);
    });
    step([&] { mouse->drag(mouse->at(7, 5), mouse->at(9, 8)); });
    step([&] { mouse->key(Qt::Key_Down); });
    step([&] {
        canvas->copySelection();
        canvas->pasteItems();
    });
    step([&] { canvas->cutSelection(); });
    step([&] {
        mouse->click(mouse->at(9, 9));
        canvas->deleteSelection();
    });
    ASSERT_EQ(model().fieldCount, 0);

    for (std::size_t i = states.size() - 1; i > 0; --i) {
        ASSERT_TRUE(canvas->document().canUndo());
        canvas->undo();
        EXPECT_TRUE(formdesc::sameBytes(model(), states[i - 1])) << "undo to state " << i - 1;
        EXPECT_FALSE(canvas->hasSelection());
    }
    EXPECT_FALSE(canvas->document().canUndo());
    EXPECT_FALSE(canvas->document().isModified());
    for (std::size_t i = 1; i < states.size(); ++i) {
        canvas->redo();
        // Modified is the byte comparison: the last state is an empty form again.
        EXPECT_EQ(canvas->document().isModified(), !formdesc::sameBytes(states[i], states[0])) << i;
        EXPECT_TRUE(formdesc::sameBytes(model(), states[i])) << "redo to state " << i;
    }
    EXPECT_FALSE(canvas->document().canRedo());
}

TEST_F(EditingTest, ACommandInTheMiddleOfADragEndsTheDragSafely) {
    place({fieldRecord(5, 5, 10), fieldRecord(5, 7, 10)});
    mouse->drag(mouse->at(4, 4), mouse->at(11, 8));
    canvas->copySelection();
    const struct {
        const char* name;
        std::function<void()> command;
    } rows[] = {
        {"undo", [&] { canvas->undo(); }},
        {"paste", [&] { canvas->pasteItems(); }},
        {"delete", [&] { canvas->deleteSelection(); }},
    };
    for (const auto& row : rows) {
        mouse->drag(mouse->at(4, 4), mouse->at(11, 8));
        // A resize of the second item is under way when the command arrives.
        const platform::Rect r = editor::CanvasGeometry::fieldWindowRect(canvas->view(), {5, 7, 10, 7});
        mouse->press(QPoint(r.right + 2, r.bottom + 2));
        mouse->move(mouse->at(30, 20));
        row.command();
        EXPECT_FALSE(canvas->isDragging()) << row.name;
        const formdesc::FormModel before = model();
        mouse->release(mouse->at(30, 20));
        EXPECT_TRUE(formdesc::sameBytes(model(), before)) << row.name;
    }
}
