#include "formdesc/ShiftJis.h"

#include <gtest/gtest.h>

namespace sjis = formdesc::sjis;

namespace {

std::string bytes(std::initializer_list<int> values) {
    std::string s;
    for (int v : values)
        s.push_back(static_cast<char>(v));
    return s;
}

// Characters where the Windows table differs from the JIS table, and the
// NEC and IBM extension rows.
TEST(ShiftJis, ConvertsWithTheWindowsTable) {
    struct Row {
        int code;
        const char* utf8;
    } rows[] = {
        {0x815C, "―"},  {0x8160, "～"}, {0x8161, "∥"}, {0x817C, "－"}, {0x8191, "￠"},
        {0x8192, "￡"}, {0x81CA, "￢"}, {0x8740, "①"}, {0xED40, "纊"}, {0xFA40, "ⅰ"},
    };
    for (const Row& row : rows) {
        const std::string sjisChar = bytes({row.code >> 8, row.code & 0xFF});
        EXPECT_EQ(sjis::toUtf8(sjisChar), row.utf8) << std::hex << row.code;
        // 0xED40 and 0xFA40 rows share characters; the round trip must land in
        // one of the two forms and decode to the same character.
        EXPECT_EQ(sjis::toUtf8(sjis::fromUtf8(row.utf8)), row.utf8) << std::hex << row.code;
    }
    EXPECT_EQ(sjis::fromUtf8("～"), bytes({0x81, 0x60}));
}

TEST(ShiftJis, BadBytesDecodeToReplacementAndUnmappableEncodeToQuestionMark) {
    EXPECT_EQ(sjis::toUtf8(bytes({'A', 0x81})), "A\xEF\xBF\xBD");
    EXPECT_EQ(sjis::toUtf8(bytes({0xA0, 'B'})), "\xEF\xBF\xBD"
                                                "B");
    EXPECT_EQ(sjis::fromUtf8("a😀b"), "a?b");
}

TEST(ShiftJis, UpperCaseTouchesOnlyLatinLetters) {
    struct Row {
        std::string in;
        std::string out;
    } rows[] = {
        {"abc xyz", "ABC XYZ"},
        {sjis::fromUtf8("ａｂｚ"), sjis::fromUtf8("ＡＢＺ")},
        // Trail bytes in the a-z range stay as they are.
        {sjis::fromUtf8("ヂa"), sjis::fromUtf8("ヂA")},
        {sjis::fromUtf8("日本ｇo"), sjis::fromUtf8("日本Ｇ") + "O"},
        {bytes({'a', 0x82}), bytes({'A', 0x82})},
    };
    for (const Row& row : rows)
        EXPECT_EQ(sjis::toUpperCopy(row.in), row.out) << row.in;
    ASSERT_EQ(sjis::fromUtf8("ヂ")[1], 'a');
}

TEST(ShiftJis, TrimCutAndWords) {
    EXPECT_EQ(sjis::trim(" \t\r\nabc \v\f"), "abc");
    EXPECT_EQ(sjis::trim(""), "");
    EXPECT_EQ(sjis::trim("   "), "");
    const std::string kanji = sjis::fromUtf8("日本語");
    EXPECT_EQ(sjis::cutWhole(kanji, 5), kanji.substr(0, 4));
    EXPECT_EQ(sjis::cutWhole(kanji, 6), kanji);
    EXPECT_EQ(sjis::cutWhole("a" + kanji, 2), "a");

    const std::string text = "AB   C" + sjis::fromUtf8("　") + sjis::fromUtf8("日本") + " D";
    const auto words = sjis::splitWords(text);
    ASSERT_EQ(words.size(), 4u);
    EXPECT_EQ(words[0].offset, 0u);
    EXPECT_EQ(words[0].length, 2u);
    EXPECT_EQ(words[1].offset, 5u);
    EXPECT_EQ(words[1].length, 1u);
    EXPECT_EQ(words[2].offset, 8u);
    EXPECT_EQ(words[2].length, 4u);
    EXPECT_EQ(words[3].offset, 13u);
}

TEST(ShiftJis, StoringIntoArraysNeverOverflows) {
    char title[8];
    sjis::storeWhole(title, sizeof title, sjis::fromUtf8("日本語です"));
    EXPECT_EQ(std::string(title), sjis::fromUtf8("日本語"));
    char tag[9];
    sjis::storeBytes(tag, sizeof tag, 8, "ABCDEFGHIJ");
    EXPECT_EQ(std::string(tag), "ABCDEFGH");
}

} // namespace
