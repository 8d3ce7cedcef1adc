#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "runtime/compose/PageRules.h"
#include "runtime/data/PageBuffer.h"
#include "tests/runtime/DataFileFixture.h"

using runtime::DataRecord;
using runtime::PageBuffer;
using runtime::testing::formWith;

namespace {

using namespace std::string_literals;

std::string textOf(const DataRecord& record) {
    return std::string(record.text, sizeof(record.text));
}

// The expected 256 cells: the given start, blanks after it.
std::string cells(std::string_view start) {
    std::string text(256, ' ');
    text.replace(0, start.size(), start);
    return text;
}

struct FillCase {
    const char* name;
    std::string line;
    int columns;
    bool tagMode;
    std::string tag;
    std::string textStart;
};

const std::vector<FillCase>& fillCases() {
    static const std::vector<FillCase> cases = {
        {"RowModeWholeLine", "AB CD\n", 80, false, "", "AB CD"},
        {"TabTakesOneBlankCell", "A\tB", 80, false, "", "A B"},
        {"BytesBeyondColumnsDropped", "ABCDEFGH", 5, false, "", "ABCDE"},
        {"NulAndCrLeaveCellsBlank", "A\0B\rC"s, 80, false, "", "A B C"},
        {"OtherControlBytesKept",
         "A\x1B"
         "B\x1A",
         80, false, "",
         "A\x1B"
         "B\x1A"},
        {"LeadByteAtColumnLimitKept", "A\x82\xA0", 2, false, "", "A\x82"},
        {"RowModeIgnoresTagLayout", "NAME   |ABC", 80, false, "", "NAME   |ABC"},
        {"NoColumnsNoText", "ABC", 0, false, "", ""},
        {"NegativeColumnsNoText", "ABC", -5, false, "", ""},
        {"TooManyColumnsClamped", std::string(255, 'z'), 1000, false, "", std::string(255, 'z')},
        {"TagBarCountsAsBlank", "NAME   |ABC", 80, true, "NAME", "ABC"},
        {"TagLowerCaseUpperCased", "name    xyz\n", 80, true, "NAME", "xyz"},
        {"FullWidthLowerCaseUpperCased", "\x82\x81\x82\x82   |Z", 80, true, "\x82\x60\x82\x61", "Z"},
        {"TagTrailByteNotUpperCased", "\x83\x61     |Z", 80, true, "\x83\x61", "Z"},
        {"TagInnerBlanksKept", " AB CD |X", 80, true, "AB CD", "X"},
        {"BarElsewhereStaysInTag", "A|      X", 80, true, "A|", "X"},
        {"NulInTagIsBlank", "NA\0ME   X"s, 80, true, "NA ME", "X"},
        {"FiveLettersHaveNoTag", "HELLO", 80, true, "", "HELLO"},
        {"EightBytesHaveNoTag", "ABCDEFGH", 80, true, "", "ABCDEFGH"},
        {"EightBytesWithLfHaveNoTag", "ABCDEFG\n", 80, true, "", "ABCDEFG"},
        {"NineBytesWithLfHaveATag", "ABCDEFGH\n", 80, true, "ABCDEFGH", ""},
        {"BlankTag", "        TEXT", 80, true, "", "TEXT"},
        {"ColumnsCountFromByteNine", "TAG     ABCDEF", 3, true, "TAG", "ABC"},
    };
    return cases;
}

class FillDataRecord : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillDataRecord, GivesTagAndCells) {
    const FillCase& c = GetParam();
    DataRecord record;
    std::memset(&record, 'X', sizeof(record)); // leftovers of an earlier page
    runtime::fillDataRecord(record, c.line, c.columns, c.tagMode);
    EXPECT_EQ(std::string(record.tagView()), c.tag);
    EXPECT_EQ(textOf(record), cells(c.textStart));
}

INSTANTIATE_TEST_SUITE_P(Cases, FillDataRecord, ::testing::ValuesIn(fillCases()),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(PageBuffer, HoldsAtMost256Records) {
    PageBuffer page;
    const auto form = formWith(10, 255);
    for (int i = 0; i < runtime::kMaxPageRecords; ++i)
        ASSERT_TRUE(page.addRecord("R" + std::to_string(i), form));
    EXPECT_TRUE(page.isFull());
    EXPECT_FALSE(page.addRecord("overflow", form));
    EXPECT_EQ(page.count(), runtime::kMaxPageRecords);
    EXPECT_EQ(page[255].columns(1, 4), "R255");
    page.clear();
    EXPECT_TRUE(page.isEmpty());
    EXPECT_TRUE(page.records().empty());
}

TEST(DataRecord, ColumnsAreClampedToTheCells) {
    DataRecord record;
    runtime::fillDataRecord(record, "ABCDE", 80, false);
    struct Case {
        int first, last;
        std::string expected;
    };
    for (const Case& c : std::vector<Case>{{2, 4, "BCD"},
                                           {0, 2, "AB"},
                                           {-100, 1, "A"},
                                           {4, 3, ""},
                                           {300, 400, ""},
                                           {255, 1000, "  "},
                                           {1, 256, std::string("ABCDE") + std::string(251, ' ')}})
        EXPECT_EQ(std::string(record.columns(c.first, c.last)), c.expected) << c.first << ".." << c.last;
}

formdesc::FieldInfo fieldAt(int startRow, int endRow, const char* tag) {
    formdesc::FieldInfo field{};
    field.startRow = startRow;
    field.endRow = endRow;
    std::strncpy(field.tag, tag, sizeof(field.tag));
    return field;
}

TEST(FieldAppliesTo, RowModeUsesTheRowRangeTagModeTheTag) {
    struct Case {
        const char* name;
        formdesc::FieldInfo field;
        std::string line;
        int recordIndex;
        bool tagMode;
        bool applies;
    };
    const std::vector<Case> cases = {
        {"RowInsideRange", fieldAt(2, 4, ""), "x", 1, false, true},
        {"LastRowOfRange", fieldAt(2, 4, ""), "x", 3, false, true},
        {"RowAboveRange", fieldAt(2, 4, ""), "x", 0, false, false},
        {"RowBelowRange", fieldAt(2, 4, ""), "x", 4, false, false},
        {"RowModeIgnoresTags", fieldAt(1, 1, "NAME"), "NAME    x", 0, false, true},
        {"SameTag", fieldAt(1, 1, "NAME"), "NAME    x", 0, true, true},
        {"LowerCaseDataTag", fieldAt(1, 1, "NAME"), "name   |x", 0, true, true},
        {"TagModeIgnoresRows", fieldAt(1, 1, "NAME"), "NAME    x", 40, true, true},
        {"OtherTag", fieldAt(1, 1, "NAME"), "ADDR    x", 0, true, false},
        {"TagIsNotAPrefix", fieldAt(1, 1, "NAM"), "NAME    x", 0, true, false},
        {"FullEightByteTag", fieldAt(1, 1, "ABCDEFGH"), "ABCDEFGHx", 0, true, true},
        {"LineWithoutTagMatchesNoField", fieldAt(1, 1, "HELLO"), "HELLO", 0, true, false},
    };
    for (const Case& c : cases) {
        DataRecord record;
        runtime::fillDataRecord(record, c.line, 80, c.tagMode);
        EXPECT_EQ(runtime::fieldAppliesTo(c.field, record, c.recordIndex, c.tagMode), c.applies) << c.name;
    }
}

TEST(FigureLastRow, OnlyTheLastPageWithAPositiveRowIsCut) {
    struct Case {
        int lastRow;
        bool lastPage;
        int expected;
    };
    const Case cases[] = {{10, true, 10}, {10, false, 0}, {0, true, 0}, {-5, true, 0}};
    for (const Case& c : cases)
        EXPECT_EQ(runtime::figureLastRow(c.lastRow, c.lastPage), c.expected)
            << c.lastRow << " " << c.lastPage;
}

} // namespace
