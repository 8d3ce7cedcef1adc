#include "editor/document/SampleData.h"

#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <map>

using editor::SampleData;

namespace {

struct FieldRow {
    int startCol;
    int endCol;
    int row;
    const char* constText = "";
    const char* tag = "";
    int wide = 0;
    int space = 0;
    int minus = 0;
};

formdesc::FieldInfo fieldOf(const FieldRow& item) {
    formdesc::FieldInfo field{};
    field.startCol = item.startCol;
    field.endCol = item.endCol;
    field.startRow = field.endRow = item.row;
    formdesc::sjis::storeBytes(field.constText, sizeof field.constText, 128,
                               formdesc::sjis::fromUtf8(item.constText));
    formdesc::sjis::storeBytes(field.tag, sizeof field.tag, 8, item.tag);
    field.wide = item.wide;
    field.space = item.space;
    field.minus = item.minus;
    return field;
}

struct Case {
    const char* name;
    int rows;
    bool tagMode;
    std::vector<FieldRow> fields;
    std::map<int, std::string> filled; // row -> expected bytes; other rows are empty
};

void PrintTo(const Case& c, std::ostream* out) {
    *out << c.name;
}

class SampleDataTable : public testing::TestWithParam<Case> {};

TEST_P(SampleDataTable, OneLinePerRowWithEveryFieldsPlaceholder) {
    const Case& c = GetParam();
    auto model = std::make_unique<formdesc::FormModel>();
    model->form.rows = c.rows;
    model->form.tagMode = c.tagMode ? 1 : 0;
    for (const FieldRow& item : c.fields)
        model->appendField(fieldOf(item));

    const std::vector<std::string> lines = SampleData::lines(*model);
    ASSERT_EQ(lines.size(), static_cast<std::size_t>(c.rows));
    for (int row = 1; row <= c.rows; ++row) {
        const auto expected = c.filled.find(row);
        EXPECT_EQ(lines[row - 1], expected == c.filled.end() ? "" : expected->second) << "row " << row;
    }
}

const std::string kTen = "XXXXXXXXXX";

INSTANTIATE_TEST_SUITE_P(
    Rows, SampleDataTable,
    testing::Values(
        Case{"plain", 4, false, {{3, 12, 2}}, {{2, "  " + kTen}}},
        Case{"wide", 3, false, {{3, 12, 1, "", "", 1}}, {{1, "  XXXXX"}}},
        Case{"minus", 3, false, {{3, 12, 1, "", "", 0, 0, 1}}, {{1, "  9999999999"}}},
        Case{"wide and spaced", 1, false, {{3, 12, 1, "", "", 1, 1}}, {{1, "  XXXX"}}},
        Case{"constant cut to the width", 1, false, {{1, 4, 1, "ABCDEFG"}}, {{1, "ABCD"}}},
        // Bytes are counted: 合 (8D 87) and the lead byte of 計 (8C 76).
        Case{"double-byte constant cut in half", 1, false, {{1, 3, 1, "合計"}}, {{1, "\x8d\x87\x8c"}}},
        Case{"short constant padded, later field follows",
             1,
             false,
             {{1, 6, 1, "AB"}, {8, 9, 1}},
             {{1, "AB     XX"}}},
        Case{"overlap: the later field wins",
             1,
             false,
             {{1, 5, 1}, {3, 4, 1, "", "", 0, 0, 1}},
             {{1, "XX99X"}}},
        Case{
            "last column of a full grid", 1, false, {{250, 255, 1}}, {{1, std::string(249, ' ') + "XXXXXX"}}},
        Case{"tag mode", 2, true, {{1, 3, 2, "", "NAME"}}, {{2, "NAME    XXX"}}},
        Case{"tag mode: the row's last tag stays",
             1,
             true,
             {{1, 2, 1, "", "FIRSTTAG"}, {5, 6, 1, "", "NO"}},
             {{1, "NO      XX  XX"}}},
        Case{"sixty rows, fields only on row two", 60, false, {{1, 2, 2}}, {{2, "XX"}}}),
    [](const testing::TestParamInfo<Case>& info) { return "case" + std::to_string(info.index); });

TEST(SampleData, WritesCrLfLinesAndReportsAFileItCannotCreate) {
    auto model = std::make_unique<formdesc::FormModel>();
    model->form.rows = 3;
    formdesc::FieldInfo field = fieldOf({2, 3, 2});
    model->appendField(field);
    TempFolder folder;
    const std::string path = (folder.path() / "data.dat").string();
    ASSERT_TRUE(SampleData::write(path, *model));
    std::ifstream in(path, std::ios::binary);
    EXPECT_EQ(std::string(std::istreambuf_iterator<char>(in), {}), "\r\n XX\r\n\r\n");

    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);
    EXPECT_FALSE(SampleData::write((folder.path() / "missing" / "data.dat").string(), *model));
    ASSERT_EQ(sink.messages.size(), 1u);
    EXPECT_EQ(sink.messages[0].text, "その他 - 帳票データを保存できません");
    EXPECT_EQ(sink.messages[0].caption, "エラー");
}

} // namespace
