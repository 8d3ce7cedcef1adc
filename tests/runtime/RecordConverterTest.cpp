#include "runtime/data/RecordConverter.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "FormRecords.h"
#include "formdesc/ShiftJis.h"
#include "runtime/data/CsvReader.h"

using namespace runtime;
using testsupport::fieldRecord;

namespace {

// 30 columns, 6 rows: NO and DATE on row 1, a two-line detail (ITEM, QTY) on
// rows 3-4, TOTAL on row 6. The detail's fields are written out of row order.
formdesc::FormModel smallForm(bool tagMode = false) {
    formdesc::FormModel model;
    model.form.columns = 30;
    model.form.rows = 6;
    model.form.tagMode = tagMode ? 1 : 0;
    for (const formdesc::FieldInfo& field :
         {fieldRecord(1, 1, 6, "NO"), fieldRecord(21, 1, 30, "DATE"), fieldRecord(1, 4, 10, "ITEM"),
          fieldRecord(1, 3, 10, "ITEM"), fieldRecord(12, 3, 14, "QTY"), fieldRecord(12, 4, 14, "QTY"),
          fieldRecord(21, 6, 26, "TOTAL")})
        model.appendField(field);
    return model;
}

// A line of the character image: UTF-8 values at 1-based columns, trailing
// blanks off.
std::string line(std::initializer_list<std::pair<int, const char*>> cells = {}) {
    std::string text;
    for (const auto& [column, value] : cells) {
        const std::string bytes = formdesc::sjis::fromUtf8(value);
        const std::size_t at = static_cast<std::size_t>(column) - 1;
        if (text.size() < at + bytes.size())
            text.resize(at + bytes.size(), ' ');
        text.replace(at, bytes.size(), bytes);
    }
    return text;
}

using Page = std::vector<std::string>;

// A page of the small form: rows 1, 3, 4 and 6 as given.
Page page(std::string row1, std::string row3 = {}, std::string row4 = {}, std::string row6 = {}) {
    return {std::move(row1), "", std::move(row3), std::move(row4), "", std::move(row6)};
}

struct Converted {
    RecordResult result;
    std::vector<std::string> lines;
};

Converted convert(std::string_view bytes, DataFormat format, std::string groupBy = {},
                  const formdesc::FormModel& model = smallForm()) {
    std::string copy(bytes);
    std::FILE* in = ::fmemopen(copy.data(), copy.size(), "rb");
    if (copy.empty())
        in = std::tmpfile();
    Converted out;
    RecordOptions options;
    options.format = format;
    options.groupBy = std::move(groupBy);
    out.result = convertRecords(in, model, options, [&](std::string_view text) {
        out.lines.emplace_back(text);
        return true;
    });
    std::fclose(in);
    return out;
}

std::vector<std::string> joined(std::initializer_list<Page> pages) {
    std::vector<std::string> lines;
    for (const Page& p : pages)
        lines.insert(lines.end(), p.begin(), p.end());
    return lines;
}

struct PagesCase {
    const char* name;
    DataFormat format;
    const char* groupBy;
    const char* data;
    std::vector<std::string> lines;
    std::uint64_t cutValues;
    std::vector<std::string> unknown;
};

class RecordPagesTable : public ::testing::TestWithParam<PagesCase> {};

} // namespace

TEST_P(RecordPagesTable, buildsTheCharacterImage) {
    const PagesCase& c = GetParam();
    const Converted out = convert(c.data, c.format, c.groupBy);
    ASSERT_TRUE(out.result.ok) << out.result.error.what;
    EXPECT_EQ(out.lines, c.lines);
    EXPECT_EQ(out.result.cutValues, c.cutValues);
    EXPECT_EQ(out.result.unknown, c.unknown);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordPagesTable,
    ::testing::Values(
        PagesCase{"csvRecordPerPage",
                  DataFormat::Csv,
                  "",
                  "no,Date,item,QTY\r\n1,2026-12-08,りんご,3\r\n2,,\"a, \"\"b\"\"\",\r\n",
                  joined({page(line({{1, "1"}, {21, "2026-12-08"}}), line({{1, "りんご"}, {12, "3"}})),
                          page(line({{1, "2"}}), line({{1, "a, \"b\""}}))}),
                  0,
                  {}},
        // Three details for a two-line slot: the third goes to a second page
        // with NO and DATE repeated; the second group starts a page.
        PagesCase{
            "csvGroupOverflow",
            DataFormat::Csv,
            "no",
            "NO,DATE,ITEM,QTY,TOTAL\n7,d1,A,1,100\n7,x,B,2,\n7,,C,3,\n8,d2,D,4,9\n",
            joined({page(line({{1, "7"}, {21, "d1"}}), line({{1, "A"}, {12, "1"}}),
                         line({{1, "B"}, {12, "2"}}), line({{21, "100"}})),
                    page(line({{1, "7"}, {21, "d1"}}), line({{1, "C"}, {12, "3"}}), "", line({{21, "100"}})),
                    page(line({{1, "8"}, {21, "d2"}}), line({{1, "D"}, {12, "4"}}), "", line({{21, "9"}}))}),
            0,
            {}},
        // A group that fills its slot exactly makes no empty page after it;
        // the grouping column need not be a tag, and is no unknown name.
        PagesCase{"csvGroupExactlyFull",
                  DataFormat::Csv,
                  "invoice",
                  "NO,ITEM,INVOICE\n1,A,9\n1,B,9\n",
                  joined({page(line({{1, "1"}}), line({{1, "A"}}), line({{1, "B"}}))}),
                  0,
                  {}},
        // Cut at whole characters: 10 bytes hold four kanji and one byte,
        // which must not take half of the fifth. A line break in a value is a blank.
        PagesCase{"csvCutAndUnknown",
                  DataFormat::Csv,
                  "",
                  "NO,ITEM,color,Colour,COLOR\n1234567,あいうえおか,r,g,b\n1,\"x\ny\",,,\n",
                  joined({page(line({{1, "123456"}}), line({{1, "あいうえお"}})),
                          page(line({{1, "1"}}), line({{1, "x y"}}))}),
                  2,
                  {"color", "Colour"}},
        PagesCase{"jsonArrays",
                  DataFormat::Json,
                  "",
                  R"([{"no": 5, "date": "2026-12-08", "ITEM": ["A", "B", "C"], "qty": [1E2, 2e3, null],
                      "total": -12}, {"NO": "6"}])",
                  joined({page(line({{1, "5"}, {21, "2026-12-08"}}), line({{1, "A"}, {12, "1E2"}}),
                               line({{1, "B"}, {12, "2e3"}}), line({{21, "-12"}})),
                          page(line({{1, "5"}, {21, "2026-12-08"}}), line({{1, "C"}}), "",
                               line({{21, "-12"}})),
                          page(line({{1, "6"}}))}),
                  0,
                  {}},
        PagesCase{"jsonPagesMember",
                  DataFormat::Json,
                  "",
                  R"({"title": {"pages": [1]}, "pages": [{"NO": "1", "extra": [1, 2]}], "after": [[]]})",
                  joined({page(line({{1, "1"}}))}),
                  0,
                  {"extra"}}),
    [](const ::testing::TestParamInfo<PagesCase>& info) { return std::string(info.param.name); });

// A tag-mode form gets one tagged line per slot with a value; every field of
// the tag sees the value.
TEST(RecordConverterTest, tagModeWritesTaggedLines) {
    const Converted out = convert("NO,ITEM\n42,ab\n", DataFormat::Csv, {}, smallForm(true));
    ASSERT_TRUE(out.result.ok);
    const std::vector<std::string> expected = {"NO      42", "ITEM    ab", "", "", "", ""};
    EXPECT_EQ(out.lines, expected);
}

struct ErrorCase {
    const char* name;
    DataFormat format;
    const char* groupBy;
    const char* data;
    std::uint64_t line;
    std::uint64_t column;
};

class RecordErrorTable : public ::testing::TestWithParam<ErrorCase> {};

TEST_P(RecordErrorTable, namesLineAndColumn) {
    const ErrorCase& c = GetParam();
    const Converted out = convert(c.data, c.format, c.groupBy);
    EXPECT_FALSE(out.result.ok);
    EXPECT_TRUE(out.result.error.isSet());
    EXPECT_EQ(out.result.error.line, c.line);
    EXPECT_EQ(out.result.error.column, c.column);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, RecordErrorTable,
    ::testing::Values(ErrorCase{"csvQuoteLeftOpen", DataFormat::Csv, "", "NO,ITEM\n1,\"abc\n2,x\n", 2, 3},
                      ErrorCase{"csvQuoteInsideValue", DataFormat::Csv, "", "NO,ITEM\n1,ab\"c\n", 2, 5},
                      ErrorCase{"csvTextAfterQuote", DataFormat::Csv, "", "NO\n\"あ\"い\n", 2, 4},
                      ErrorCase{"csvMoreValuesThanNames", DataFormat::Csv, "", "NO\n1\n1,2\n", 3, 1},
                      ErrorCase{"csvNoHeader", DataFormat::Csv, "", "", 1, 1},
                      ErrorCase{"csvGroupNameMissing", DataFormat::Csv, "INVOICE", "NO\n1\n", 1, 1},
                      ErrorCase{"jsonSyntax", DataFormat::Json, "", "[\n {\"NO\": 1,}\n]", 2, 11},
                      ErrorCase{"jsonNotDocuments", DataFormat::Json, "", "{\"rows\": []}", 1, 12},
                      ErrorCase{"jsonDocumentNotObject", DataFormat::Json, "", "[{\"NO\": 1},\n 2]", 2, 3},
                      ErrorCase{"jsonNestedObject", DataFormat::Json, "", "[{\"NO\": {\"a\": 1}}]", 1, 9},
                      ErrorCase{"jsonCutShort", DataFormat::Json, "", "[{\"NO\": \"1", 1, 10}),
    [](const ::testing::TestParamInfo<ErrorCase>& info) { return std::string(info.param.name); });

// The cases of RFC 4180 the reader must take: CRLF and LF, a last record
// without a line break, empty fields, doubled quotes, line breaks and commas
// in quotes, a lone CR, and empty lines passed over.
TEST(CsvReaderTest, readsTheRfcCases) {
    std::string data = "a,b,c\r\n\"x\"\"y\",\"1\r\n2\",\n,,\r\rlast,\"\",\"q,r\"";
    std::FILE* in = ::fmemopen(data.data(), data.size(), "rb");
    CsvReader reader(in);
    std::vector<std::vector<std::string>> records;
    std::vector<std::string_view> fields;
    while (reader.next(fields))
        records.emplace_back(fields.begin(), fields.end());
    std::fclose(in);
    EXPECT_FALSE(reader.error().isSet()) << reader.error().what;
    const std::vector<std::vector<std::string>> expected = {
        {"a", "b", "c"}, {"x\"y", "1\r\n2", ""}, {"", "", ""}, {"last", "", "q,r"}};
    EXPECT_EQ(records, expected);
}
