#include "editor/shell/EditPaletteRules.h"
#include "editor/canvas/CurrentAttributes.h"
#include "editor/widgets/AttributeLists.h"

#include <QString>

#include <gtest/gtest.h>

#include <utility>

using editor::AttributeList;

TEST(EditPaletteRules, ZoomListPositions) {
    const std::pair<int, int> rows[] = {{0, 200}, {3, 100}, {5, 50}, {6, -1}, {-1, -1}, {7, -1}};
    for (auto [position, zoom] : rows)
        EXPECT_EQ(editor::palette::zoomRequestFor(position), zoom) << position;
    EXPECT_EQ(editor::palette::zoomText(87), QStringLiteral("87%"));
}

TEST(EditPaletteRules, MagnifierStepsToTheNextTen) {
    struct Row {
        int zoom, in, out;
    };
    for (const Row& row : {Row{100, 110, 90}, Row{87, 90, 80}, Row{200, 210, 190}, Row{50, 60, 40}}) {
        EXPECT_EQ(editor::palette::magnifiedIn(row.zoom), row.in) << row.zoom;
        EXPECT_EQ(editor::palette::magnifiedOut(row.zoom), row.out) << row.zoom;
    }
}

// The kind list per tool mode: which list, its tooltip, the entry for the
// current attributes, and which attribute a choice changes.
TEST(EditPaletteRules, KindListFollowsTheToolMode) {
    editor::CurrentAttributes attributes;
    attributes.selectionFilter = 4;
    attributes.lineCourse = 3;
    attributes.meshKind = 2;
    struct Row {
        int mode;
        std::optional<AttributeList> list;
        const char* tooltip;
        int position;
    };
    const Row rows[] = {
        {1, AttributeList::SelectionFilter, "部品の選択", 4},
        {21, AttributeList::LineCourse, "直線の向き", 2},
        {22, AttributeList::MeshKind, "中塗りの有無", 2},
        {11, std::nullopt, "", -1},
        {24, std::nullopt, "", -1},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.mode);
        EXPECT_EQ(editor::palette::kindListFor(row.mode), row.list);
        EXPECT_EQ(editor::palette::kindListTooltip(row.mode), QString::fromUtf8(row.tooltip));
        EXPECT_EQ(editor::palette::kindListPosition(row.mode, attributes), row.position);
    }

    editor::CurrentAttributes chosen;
    editor::palette::applyKindChoice(1, 2, chosen);
    editor::palette::applyKindChoice(21, 3, chosen);
    editor::palette::applyKindChoice(22, 1, chosen);
    EXPECT_EQ(chosen.selectionFilter, 2);
    EXPECT_EQ(chosen.lineCourse, 4);
    EXPECT_EQ(chosen.meshKind, 1);
    // No list in the field mode, and no entry outside a list: nothing changes.
    editor::palette::applyKindChoice(11, 0, chosen);
    editor::palette::applyKindChoice(21, 4, chosen);
    editor::palette::applyKindChoice(21, -1, chosen);
    EXPECT_EQ(chosen.lineCourse, 4);
    EXPECT_EQ(chosen.selectionFilter, 2);
}
