#include "editor/canvas/ItemEdits.h"
#include "tests/support/FormRecords.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

using editor::CellPoint;
using editor::CellSpan;
using editor::ClipboardItems;
using editor::CurrentAttributes;
using editor::ItemEdits;
using editor::PasteResult;
using editor::Selection;
using editor::SelectionEntry;
using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormModel;

namespace {

// A new form of columns x rows; the model is too large for the stack.
std::unique_ptr<FormModel> newForm(int columns = 80, int rows = 40) {
    auto model = std::make_unique<FormModel>();
    model->setNewFormDefaults();
    model->form.columns = columns;
    model->form.rows = rows;
    return model;
}

// Figures told apart by their loop pitch, which no edit touches.
FigureInfo numberedRect(int number, int c1 = 1, int r1 = 1) {
    FigureInfo f = testsupport::rectRecord(c1, r1, c1 + 2, r1 + 2);
    f.loopPitch = number;
    return f;
}

std::vector<std::string> tags(const FormModel& m) {
    std::vector<std::string> out;
    for (int n = 0; n < m.fieldCount; ++n)
        out.emplace_back(m.fields[static_cast<std::size_t>(n)].tag);
    return out;
}

std::vector<int> numbers(const FormModel& m) {
    std::vector<int> out;
    for (int n = 0; n < m.figureCount; ++n)
        out.push_back(m.figures[static_cast<std::size_t>(n)].loopPitch);
    return out;
}

bool allZero(const void* bytes, std::size_t size) {
    const auto* p = static_cast<const unsigned char*>(bytes);
    return std::all_of(p, p + size, [](unsigned char c) { return c == 0; });
}

TEST(ItemEdits, RemoveClosesTheGapsKeepingTheOrderOfTheRest) {
    struct Row {
        const char* what;
        std::vector<SelectionEntry> selected; // kind and index only
        std::vector<std::string> fieldsLeft;
        std::vector<int> figuresLeft;
    };
    const int rect = formdesc::kKindRect;
    const Row rows[] = {
        {"second of three fields", {{{}, 11, 1}}, {"A", "C"}, {1, 2, 3, 4}},
        {"mixed, selected out of order", {{{}, rect, 3}, {{}, 11, 0}, {{}, rect, 1}}, {"B", "C"}, {1, 3}},
        {"the same record twice", {{{}, rect, 0}, {{}, rect, 0}}, {"A", "B", "C"}, {2, 3, 4}},
        {"everything",
         {{{}, 11, 2}, {{}, 11, 1}, {{}, 11, 0}, {{}, rect, 0}, {{}, rect, 1}, {{}, rect, 2}, {{}, rect, 3}},
         {},
         {}},
    };
    for (const Row& row : rows) {
        auto model = newForm();
        for (const char* tag : {"A", "B", "C"})
            model->appendField(testsupport::fieldRecord(2, 3, 9, tag));
        for (int n = 1; n <= 4; ++n)
            model->appendFigure(numberedRect(n));
        Selection selection;
        for (const SelectionEntry& e : row.selected)
            selection.add(e);

        ItemEdits::remove(*model, selection);
        EXPECT_EQ(tags(*model), row.fieldsLeft) << row.what;
        EXPECT_EQ(numbers(*model), row.figuresLeft) << row.what;
        EXPECT_TRUE(selection.empty()) << row.what;
        // Nothing of a deleted record stays behind the counts.
        for (int n = model->fieldCount; n < 3; ++n)
            EXPECT_TRUE(allZero(&model->fields[static_cast<std::size_t>(n)], sizeof(FieldInfo))) << row.what;
        for (int n = model->figureCount; n < 4; ++n)
            EXPECT_TRUE(allZero(&model->figures[static_cast<std::size_t>(n)], sizeof(FigureInfo)))
                << row.what;
    }
}

// Items copied off a form: a field (3,2)-(8,2), a vertical line
// (5,4)-(5,9) and a rectangle (10,3)-(20,6); bounds (3,2)-(20,9).
ClipboardItems copiedItems() {
    auto source = newForm();
    source->appendField(testsupport::fieldRecord(3, 2, 8, "F"));
    source->appendFigure(testsupport::lineRecord(5, 4, 5, 9, formdesc::kCourseV, formdesc::kLineSolid, 3));
    source->appendFigure(testsupport::rectRecord(10, 3, 20, 6));
    Selection selection;
    selection.add(Selection::entryFor(source->figures[1], 1));
    selection.add(Selection::entryFor(source->fields[0], 0));
    selection.add(Selection::entryFor(source->figures[0], 0));
    std::optional<ClipboardItems> items =
        editor::ClipboardBlock::decode(editor::ClipboardBlock::encode(*source, selection));
    EXPECT_TRUE(items);
    return items.value_or(ClipboardItems{});
}

TEST(ItemEdits, PastePutsTheBoundsAtTheTargetAndClampsEachItemOnItsOwn) {
    struct Row {
        const char* what;
        int columns, rows;
        CellPoint target;
        CellSpan field, rect, line;
    };
    const Row rows[] = {
        {"inside the grid", 80, 40, {30, 20}, {30, 20, 35, 20}, {37, 21, 47, 24}, {32, 22, 32, 27}},
        {"at the copy's own place", 80, 40, {3, 2}, {3, 2, 8, 2}, {10, 3, 20, 6}, {5, 4, 5, 9}},
        // Only the items that would cross the edge move back, each by its own amount.
        {"past the bottom right", 80, 40, {70, 36}, {70, 36, 75, 36}, {70, 37, 80, 40}, {72, 35, 72, 40}},
        // An item larger than the grid is cut to it.
        {"into a smaller grid", 8, 5, {1, 1}, {1, 1, 6, 1}, {1, 2, 8, 5}, {3, 1, 3, 5}},
    };
    const ClipboardItems items = copiedItems();
    for (const Row& row : rows) {
        auto model = newForm(row.columns, row.rows);
        model->appendField(testsupport::fieldRecord(1, 1, 2, "OLD"));
        model->appendFigure(numberedRect(9));
        Selection selection;
        selection.add(Selection::entryFor(model->fields[0], 0));

        ASSERT_EQ(ItemEdits::paste(*model, items, row.target, selection), PasteResult::Pasted) << row.what;
        ASSERT_EQ(model->fieldCount, 2) << row.what;
        ASSERT_EQ(model->figureCount, 3) << row.what;
        EXPECT_STREQ(model->fields[0].tag, "OLD") << row.what;
        EXPECT_EQ(model->figures[0].loopPitch, 9) << row.what;
        EXPECT_EQ(editor::CanvasGeometry::spanOf(model->fields[1]), row.field) << row.what;
        EXPECT_EQ(editor::CanvasGeometry::spanOf(model->figures[1]), row.rect) << row.what;
        EXPECT_EQ(editor::CanvasGeometry::spanOf(model->figures[2]), row.line) << row.what;
        // The selection is the pasted items, fields first, in block order.
        const std::vector<SelectionEntry> expected = {{row.field, formdesc::kKindField, 1, 0},
                                                      {row.rect, formdesc::kKindRect, 1, 0},
                                                      {row.line, formdesc::kKindLine, 2, formdesc::kCourseV}};
        EXPECT_EQ(std::vector<SelectionEntry>(selection.entries().begin(), selection.entries().end()),
                  expected)
            << row.what;
    }
}

TEST(ItemEdits, PasteCutsAnItemTallerThanTheGridThatStartsAboveIt) {
    // Bounds that do not cover the record (another program's block) push it
    // above the first row; moved down, it would still pass the last row.
    auto model = newForm(8, 5);
    ClipboardItems items;
    items.bounds = {1, 5, 3, 8};
    const FigureInfo tall = testsupport::rectRecord(1, 1, 3, 8);
    items.figures.push_back(tall);
    ASSERT_EQ(editor::CanvasGeometry::spanOf(items.figures[0]), (CellSpan{1, 1, 3, 8}));
    Selection selection;
    ASSERT_EQ(ItemEdits::paste(*model, items, {1, 1}, selection), PasteResult::Pasted);
    EXPECT_EQ(editor::CanvasGeometry::spanOf(model->figures[0]), (CellSpan{1, 1, 3, 5}));
}

TEST(ItemEdits, PastePastALimitChangesNothing) {
    struct Row {
        const char* what;
        int fieldsOnForm, figuresOnForm, fieldsCopied, figuresCopied;
        PasteResult expected;
    };
    const Row rows[] = {
        {"fields fill up exactly", 1000, 0, 24, 0, PasteResult::Pasted},
        {"one field too many", 1000, 0, 25, 0, PasteResult::OverLimit},
        {"one figure too many", 0, 1024, 0, 1, PasteResult::OverLimit},
        {"500 items at once", 0, 0, 250, 250, PasteResult::Pasted},
        {"501 items at once", 0, 0, 250, 251, PasteResult::OverLimit},
        {"an empty block", 0, 0, 0, 0, PasteResult::Nothing},
    };
    for (const Row& row : rows) {
        auto model = newForm();
        for (int n = 0; n < row.fieldsOnForm; ++n)
            model->appendField(testsupport::fieldRecord(1, 1, 1));
        for (int n = 0; n < row.figuresOnForm; ++n)
            model->appendFigure(numberedRect(n));
        ClipboardItems items;
        items.bounds = {1, 1, 3, 3};
        items.fields.assign(static_cast<std::size_t>(row.fieldsCopied),
                            testsupport::fieldRecord(1, 1, 3, "NEW"));
        items.figures.assign(static_cast<std::size_t>(row.figuresCopied), numberedRect(-1));
        const auto before = std::make_unique<FormModel>(*model);
        Selection selection;
        selection.add(Selection::entryFor(model->fields[0], 0));

        EXPECT_EQ(ItemEdits::paste(*model, items, {5, 5}, selection), row.expected) << row.what;
        if (row.expected == PasteResult::Pasted) {
            EXPECT_EQ(selection.size(), row.fieldsCopied + row.figuresCopied) << row.what;
            continue;
        }
        EXPECT_EQ(std::memcmp(before.get(), model.get(), sizeof(FormModel)), 0) << row.what;
        EXPECT_EQ(selection.size(), 1) << row.what;
    }
}

TEST(ItemEdits, NudgeStopsTheItemsAtAnEdgeWhileTheOthersMove) {
    struct Row {
        int dCol, dRow;
        CellSpan atEdge, inside;
    };
    // The grid is 80 x 40; the first item touches the right and bottom edges,
    // the second the left and top edges.
    const CellSpan edge = {71, 31, 80, 40};
    const CellSpan corner = {1, 1, 4, 1};
    const Row rows[] = {
        {1, 0, edge, {2, 1, 5, 1}},
        {0, 1, edge, {1, 2, 4, 2}},
        {-1, 0, {70, 31, 79, 40}, corner},
        {0, -1, {71, 30, 80, 39}, corner},
    };
    for (const Row& row : rows) {
        auto model = newForm();
        model->appendFigure(numberedRect(1));
        model->figures[0].startCol = edge.col1;
        model->figures[0].startRow = edge.row1;
        model->figures[0].endCol = edge.col2;
        model->figures[0].endRow = edge.row2;
        model->appendField(testsupport::fieldRecord(corner.col1, corner.row1, corner.col2));
        Selection selection;
        selection.add(Selection::entryFor(model->figures[0], 0));
        selection.add(Selection::entryFor(model->fields[0], 0));

        ItemEdits::nudge(*model, selection, row.dCol, row.dRow);
        const std::string at = std::to_string(row.dCol) + "," + std::to_string(row.dRow);
        EXPECT_EQ(editor::CanvasGeometry::spanOf(model->figures[0]), row.atEdge) << at;
        EXPECT_EQ(editor::CanvasGeometry::spanOf(model->fields[0]), row.inside) << at;
        EXPECT_EQ(selection.entries()[0].cells, row.atEdge) << at;
        EXPECT_EQ(selection.entries()[1].cells, row.inside) << at;
    }
}

TEST(ItemEdits, MoveShiftsRecordsAndEntriesAndRefreshFollowsTheRecords) {
    auto model = newForm();
    model->appendField(testsupport::fieldRecord(5, 5, 9));
    model->appendFigure(testsupport::lineRecord(2, 3, 12, 3, formdesc::kCourseH, formdesc::kLineSolid, 3));
    Selection selection;
    selection.add(Selection::entryFor(model->fields[0], 0));
    selection.add(Selection::entryFor(model->figures[0], 0));
    // A stale entry is left alone rather than written through.
    selection.add({{1, 1, 1, 1}, formdesc::kKindRect, 7, 0});

    ItemEdits::move(*model, selection, -3, 2);
    EXPECT_EQ(editor::CanvasGeometry::spanOf(model->fields[0]), (CellSpan{2, 7, 6, 7}));
    EXPECT_EQ(editor::CanvasGeometry::spanOf(model->figures[0]), (CellSpan{-1, 5, 9, 5}));
    EXPECT_EQ(selection.entries()[1].cells, (CellSpan{-1, 5, 9, 5}));
    EXPECT_EQ(selection.entries()[2].cells, (CellSpan{1, 1, 1, 1}));

    // A property sheet changed the line into a vertical one.
    model->figures[0] = testsupport::lineRecord(4, 2, 4, 20, formdesc::kCourseV, formdesc::kLineSolid, 3);
    ItemEdits::refresh(*model, selection);
    EXPECT_EQ(selection.entries()[1],
              (SelectionEntry{{4, 2, 4, 20}, formdesc::kKindLine, 0, formdesc::kCourseV}));
    EXPECT_EQ(selection.entries()[0].cells, (CellSpan{2, 7, 6, 7}));
}

TEST(ItemEdits, ResizeKeepsTheShapeOfEachKind) {
    struct Row {
        const char* what;
        FigureInfo figure; // kind 0: a field
        CellSpan requested, expected;
    };
    const CellSpan big = {3, 4, 12, 9};
    const Row rows[] = {
        {"field", {}, big, {3, 4, 12, 4}},
        {"horizontal line", testsupport::lineRecord(1, 1, 5, 1, formdesc::kCourseH), big, {3, 4, 12, 4}},
        {"vertical line", testsupport::lineRecord(1, 1, 1, 5, formdesc::kCourseV), big, {3, 4, 3, 9}},
        {"diagonal line", testsupport::lineRecord(1, 1, 5, 5, formdesc::kCourseRU), big, big},
        {"rectangle", testsupport::rectRecord(1, 1, 5, 5), big, big},
        {"bitmap", testsupport::bitmapRecord(1, 1, 5, 5, "A.BMP"), big, big},
        {"rectangle dragged inside out", testsupport::rectRecord(1, 1, 5, 5), {12, 9, 3, 4}, big},
    };
    for (const Row& row : rows) {
        auto model = newForm();
        SelectionEntry entry;
        if (row.figure.kind == 0) {
            model->appendField(testsupport::fieldRecord(1, 1, 5));
            entry = Selection::entryFor(model->fields[0], 0);
        } else {
            model->appendFigure(row.figure);
            entry = Selection::entryFor(model->figures[0], 0);
        }
        ItemEdits::resize(*model, entry, row.requested);
        const CellSpan cells = row.figure.kind == 0 ? editor::CanvasGeometry::spanOf(model->fields[0])
                                                    : editor::CanvasGeometry::spanOf(model->figures[0]);
        EXPECT_EQ(cells, row.expected) << row.what;
        EXPECT_EQ(entry.cells, row.expected) << row.what;
    }
}

TEST(ItemEdits, CreateTakesTheCurrentAttributes) {
    CurrentAttributes attributes;
    attributes.fontSize = 120;
    attributes.textColor = formdesc::rgb(1, 2, 3);
    attributes.lineType = formdesc::kLineDashDot;
    attributes.lineWidth = formdesc::kWidthThick;
    attributes.lineColor = formdesc::rgb(4, 5, 6);
    attributes.meshKind = formdesc::kMeshFillOnly;
    attributes.meshColor = formdesc::rgb(7, 8, 9);
    // Dragged upwards and to the left: the band comes inverted.
    const CellSpan band = {12, 9, 3, 4};
    struct Row {
        int tool, course;
        CellSpan cells;
    };
    const Row rows[] = {
        {formdesc::kKindField, 0, {3, 4, 12, 4}},
        {formdesc::kKindLine, formdesc::kCourseH, {3, 4, 12, 4}},
        {formdesc::kKindLine, formdesc::kCourseV, {3, 4, 3, 9}},
        {formdesc::kKindLine, formdesc::kCourseLU, {3, 4, 12, 9}},
        {formdesc::kKindRect, 0, {3, 4, 12, 9}},
        {formdesc::kKindBitmap, 0, {3, 4, 12, 9}},
    };
    for (const Row& row : rows) {
        auto model = newForm();
        model->appendFigure(numberedRect(1));
        attributes.lineCourse = row.course == 0 ? formdesc::kCourseH : row.course;
        Selection selection;
        selection.add(Selection::entryFor(model->figures[0], 0));

        const std::optional<SelectionEntry> entry =
            ItemEdits::create(*model, row.tool, band, attributes, selection);
        ASSERT_TRUE(entry) << row.tool;
        ASSERT_EQ(selection.size(), 1);
        EXPECT_EQ(selection.entries()[0], *entry);
        EXPECT_EQ(entry->cells, row.cells) << row.tool;
        EXPECT_EQ(entry->kind, row.tool);
        EXPECT_EQ(entry->course, row.course);
        if (row.tool == formdesc::kKindField) {
            FieldInfo expected = testsupport::fieldRecord(3, 4, 12);
            expected.fontSize = 120;
            expected.textColor = formdesc::rgb(1, 2, 3);
            EXPECT_EQ(entry->index, 0);
            EXPECT_TRUE(formdesc::sameBytes(model->fields[0], expected));
            continue;
        }
        EXPECT_EQ(entry->index, 1);
        FigureInfo expected{};
        expected.kind = row.tool;
        expected.startCol = row.cells.col1;
        expected.startRow = row.cells.row1;
        expected.endCol = row.cells.col2;
        expected.endRow = row.cells.row2;
        if (row.tool != formdesc::kKindBitmap) {
            expected.lineType = formdesc::kLineDashDot;
            expected.lineWidth = formdesc::kWidthThick;
            expected.lineColor = formdesc::rgb(4, 5, 6);
        }
        expected.course = row.course;
        if (row.tool == formdesc::kKindRect) {
            expected.meshKind() = formdesc::kMeshFillOnly;
            expected.meshColor = formdesc::rgb(7, 8, 9);
        }
        EXPECT_TRUE(formdesc::sameBytes(model->figures[1], expected)) << row.tool;
    }
}

TEST(ItemEdits, CreateRefusesAFullArrayOrAnUnknownTool) {
    auto model = newForm();
    for (int n = 0; n < formdesc::kMaxItems; ++n)
        model->appendFigure(numberedRect(n));
    Selection selection;
    const CellSpan band = {1, 1, 2, 2};
    for (int tool : {formdesc::kKindLine, formdesc::kKindRect, formdesc::kKindBitmap})
        EXPECT_FALSE(ItemEdits::create(*model, tool, band, {}, selection)) << tool;
    EXPECT_EQ(model->figureCount, formdesc::kMaxItems);
    EXPECT_FALSE(ItemEdits::create(*model, 1, band, {}, selection));
    EXPECT_EQ(model->fieldCount, 0);
    ASSERT_TRUE(ItemEdits::create(*model, formdesc::kKindField, band, {}, selection));
    EXPECT_EQ(model->fieldCount, 1);
}

} // namespace
