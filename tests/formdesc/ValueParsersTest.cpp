#include "formdesc/ValueParsers.h"
#include "formdesc/KeyLookup.h"

#include <gtest/gtest.h>

using namespace formdesc;

TEST(ValueParsers, Tenths) {
    struct Row {
        const char* text;
        int tenths;
    } rows[] = {{"5.5", 55},
                {"5", 50},
                {"5.25", 525},
                {"10.0", 100},
                {"0.5", 5},
                {"", 0},
                {"-1.5", -15},
                {"10.5", 105},
                {"99999999999", 2147483647},
                {"1.000000000000", 2147483647}};
    for (const Row& row : rows)
        EXPECT_EQ(parseTenths(row.text), row.tenths) << row.text;
}

TEST(ValueParsers, Colors) {
    struct Row {
        const char* text;
        bool stored;
        int color;
    } rows[] = {
        {"#FF0000", true, 255}, {"#0000FF", true, 0xFF0000}, {"#C0C0C0", true, 0xC0C0C0}, {"#12", true, 0x12},
        {"#F", true, 15},       {"FF0000", false, -1},       {"#00FF", true, 0xFF00},     {"", false, -1}};
    for (const Row& row : rows) {
        int color = -1;
        EXPECT_EQ(parseColor(row.text, color), row.stored) << row.text;
        EXPECT_EQ(color, row.color) << row.text;
    }
}

TEST(ValueParsers, LocatePairLoopAndQuoted) {
    int c1 = -1, r1 = -1, c2 = -1, r2 = -1;
    EXPECT_TRUE(parseLocate("(3, 5)-(10, 7)", c1, r1, c2, r2));
    EXPECT_EQ((std::array{c1, r1, c2, r2}), (std::array{3, 5, 10, 7}));
    c1 = r1 = c2 = r2 = -1;
    EXPECT_FALSE(parseLocate("(3, 5)-(10, 7", c1, r1, c2, r2));
    EXPECT_EQ(c1, -1);

    int a = -1, b = -1;
    EXPECT_FALSE(parsePair("2", a, b));
    EXPECT_TRUE(parsePair("2-1", a, b));
    EXPECT_EQ(a, 2);
    EXPECT_EQ(b, 1);

    int dir = -1, count = -1, pitch = -1;
    parseLoop("V3", dir, count, pitch);
    EXPECT_EQ(dir, -1);
    parseLoop("V-3", dir, count, pitch);
    EXPECT_EQ(dir, 2);
    EXPECT_EQ(count, -1);
    parseLoop("X-3-2", dir, count, pitch);
    EXPECT_EQ(dir, 2);
    EXPECT_EQ(count, 3);
    EXPECT_EQ(pitch, 2);

    EXPECT_EQ(parseQuoted("\"ABC\" tail"), "ABC");
    EXPECT_FALSE(parseQuoted("\"ABC"));
    EXPECT_FALSE(parseQuoted("ABC\""));
    EXPECT_EQ(parseInteger("  -12x"), -12);
    EXPECT_EQ(parseInteger("x12"), 0);
}

TEST(KeyLookup, FirstOccurrenceCommaRulesAndQuotedValues) {
    struct Row {
        const char* statement;
        const char* key;
        std::optional<std::string> value;
    } rows[] = {
        {"BASE TITLE=\"A\", ROW=5", "ROW", "5"},
        // A key name inside an earlier value hides the real key.
        {"BASE TITLE=\"ROWS\", ROW=5", "ROW", std::nullopt},
        {"FIELD LOCATE=(1, 2)-(3, 4), TAG=\"X\"", "LOCATE", "(1, 2)-(3, 4)"},
        {"FIELD LOCATE=(1, 2)-(3, 4)", "LOCATE", "(1, 2)-(3, 4)"},
        {"BASE TITLE=\"A,B\", ROW=5", "TITLE", "\"A"},
        {"LINE LOCATE=(1,1)-(2,1), LTYPE = 2-1 ", "LTYPE", "2-1"},
        {"LINE COURSE", "COURSE", std::nullopt},
    };
    for (const Row& row : rows)
        EXPECT_EQ(findKeyValue(row.statement, row.key), row.value) << row.statement;

    EXPECT_EQ(findQuotedKeyValue("FIELD CONST=\"A,B,C\", WIDE=ON", "CONST"), "\"A,B,C\"");
    EXPECT_EQ(findQuotedKeyValue("FIELD CONST=\"A", "CONST"), std::nullopt);
    EXPECT_EQ(findKeyValue("RECT FILE=\"" + std::string(300, 'X') + "\"", "FILE", kShortValueBytes)->size(),
              kShortValueBytes);
}
