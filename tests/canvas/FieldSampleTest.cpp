#include "editor/canvas/FieldSample.h"

#include <gtest/gtest.h>

#include <string>

#include "formdesc/ShiftJis.h"

using editor::FieldSample;

namespace {

struct Flags {
    bool wide = false;
    bool center = false;
    bool space = false;
    bool minus = false;
};

formdesc::FieldInfo field(int columns, const std::string& constant, Flags flags) {
    formdesc::FieldInfo f{};
    f.startCol = 3;
    f.endCol = 3 + columns - 1;
    f.startRow = f.endRow = 1;
    f.wide = flags.wide;
    f.center = flags.center;
    f.space = flags.space;
    f.minus = flags.minus;
    formdesc::sjis::storeBytes(f.constText, sizeof f.constText, sizeof f.constText - 1, constant);
    return f;
}

TEST(FieldSample, TextAndBoxFollowTheFieldsFlags) {
    // Cells 10 pixels wide; the box is the field's full-cell box.
    struct Row {
        const char* what;
        int columns;
        std::string constant;
        Flags flags;
        std::string text;
        int left, right;
    };
    const std::string a = "\x82\xa0"; // a double-byte character
    const Row rows[] = {
        {"plain", 5, "", {}, "XXXXX", 0, 50},
        {"minus values", 5, "", {.minus = true}, "99999", 0, 50},
        {"wide: half as many", 5, "", {.wide = true}, "XX", 0, 50},
        {"space: eight in ten", 10, "", {.space = true}, "XXXXXXXX", 0, 100},
        {"space rounds down", 3, "", {.space = true}, "XX", 0, 30},
        {"constant cut", 5, "ABCDEFG", {}, "ABCDE", 0, 50},
        {"constant padded", 5, "AB", {}, "AB   ", 0, 50},
        {"space trims the padding", 5, "AB", {.space = true}, "AB", 0, 50},
        {"centred constant", 5, "AB", {.center = true}, "AB", 15, 35},
        {"centred wide constant", 6, "A", {.wide = true, .center = true}, "A", 20, 40},
        {"centred sample fills the box", 10, "", {.center = true}, "XXXXXXXXXX", 0, 100},
        {"no half character", 3, a + a, {}, a + " ", 0, 30},
        {"trailing double-byte kept", 4, "A" + a + " ", {.center = true}, "A" + a, 5, 35},
    };
    for (const Row& row : rows) {
        const FieldSample sample =
            FieldSample::make(field(row.columns, row.constant, row.flags), {0, 0, row.columns * 10, 20}, 10);
        EXPECT_EQ(sample.text, row.text) << row.what;
        EXPECT_EQ(sample.box.left, row.left) << row.what;
        EXPECT_EQ(sample.box.right, row.right) << row.what;
        EXPECT_EQ(sample.box.top, 0) << row.what;
        EXPECT_EQ(sample.box.bottom, 20) << row.what;
    }
}

TEST(FieldSample, ReversedColumnsGiveNoText) {
    formdesc::FieldInfo f = field(1, "", {});
    f.endCol = f.startCol - 4;
    EXPECT_EQ(FieldSample::make(f, {0, 0, 10, 20}, 10).text, "");
    formdesc::sjis::storeBytes(f.constText, sizeof f.constText, 10, "ABC");
    EXPECT_EQ(FieldSample::make(f, {0, 0, 10, 20}, 10).text, "");
}

} // namespace
