#include "formdesc/SampleRecord.h"

#include "formdesc/ShiftJis.h"
#include "tests/support/FormRecords.h"

#include <gtest/gtest.h>

#include <memory>

using namespace formdesc;
using testsupport::fieldRecord;

namespace {

struct FieldCase {
    const char* tag;
    int startCol;
    int endCol;
    int wide;
    int space;
    int minus;
    const char* constText; // UTF-8
    const char* expected;  // the example value, UTF-8
};

} // namespace

// Each example fits its field's bytes, never splitting a character: the
// wide and spaced fields hold fewer, numbers and dates look like them.
TEST(SampleRecordTest, examplesFitTheirFields) {
    const FieldCase cases[] = {
        {"NAME", 1, 20, 0, 0, 0, "", "見本NAME"}, {"NAME", 1, 5, 0, 0, 0, "", "見本N"},
        {"NAME", 1, 3, 0, 0, 0, "", "見"},        // the second character would be cut in half
        {"NAME", 1, 10, 1, 0, 0, "", "見本N"},    // wide: five bytes
        {"NAME", 1, 10, 0, 1, 0, "", "見本NAME"}, // spaced: eight bytes
        {"COUNT", 1, 7, 0, 0, 1, "", "1250"},     {"UPRICE", 1, 7, 0, 0, 0, "", "1250"}, // named as an amount
        {"QTY", 1, 3, 0, 0, 1, "", "999"},        {"DUEDATE", 1, 12, 0, 0, 0, "", "2026/04/01"},
        {"DUEDATE", 1, 6, 0, 0, 0, "", "04/01"},  {"NOTE", 1, 8, 0, 0, 0, "定型文のまま", "定型文の"},
        {"EMPTY", 5, 4, 0, 0, 0, "", ""},
    };
    for (const FieldCase& c : cases) {
        auto model = std::make_unique<FormModel>();
        FieldInfo field = fieldRecord(c.startCol, 1, c.endCol, c.tag);
        field.wide = c.wide;
        field.space = c.space;
        field.minus = c.minus;
        sjis::storeWhole(field.constText, sizeof field.constText, sjis::fromUtf8(c.constText));
        model->appendField(field);
        const std::vector<SampleSlot> record = sampleRecord(*model);
        ASSERT_EQ(record.size(), 1u) << c.tag;
        EXPECT_EQ(record[0].values, std::vector<std::string>{c.expected}) << c.tag << " " << c.endCol;
        EXPECT_EQ(record[0].numeric, c.minus == 1 || std::string(c.tag) == "UPRICE") << c.tag;
    }
}

// The CSV that the designer writes and zrk template prints: names in slot
// order (a detail slot once, its first line in the record), quoted as
// RFC 4180 asks, CR LF; nothing for a form without tags.
TEST(SampleRecordTest, csvHeaderAndOneRecord) {
    auto model = std::make_unique<FormModel>();
    model->appendField(fieldRecord(1, 12, 20, "ITEM"));
    model->appendField(fieldRecord(1, 10, 20, "ITEM"));
    model->appendField(fieldRecord(1, 11, 20, "ITEM"));
    model->appendField(fieldRecord(30, 2, 40)); // no tag
    FieldInfo quoted = fieldRecord(1, 2, 20, "A,\"B");
    model->appendField(quoted);
    FieldInfo amount = fieldRecord(30, 10, 40, "AMOUNT");
    amount.minus = 1;
    model->appendField(amount);

    const std::vector<SampleSlot> record = sampleRecord(*model);
    ASSERT_EQ(record.size(), 3u);
    EXPECT_EQ(record[1].values, (std::vector<std::string>{"見本ITEM1", "見本ITEM2", "見本ITEM3"}));
    EXPECT_EQ(sampleCsv(*model), "\"A,\"\"B\",ITEM,AMOUNT\r\n\"見本A,\"\"B\",見本ITEM1,1250\r\n");

    auto untagged = std::make_unique<FormModel>();
    untagged->appendField(fieldRecord(1, 1, 10));
    EXPECT_EQ(sampleCsv(*untagged), "");
    EXPECT_EQ(csvField(" lead"), "\" lead\"");
    EXPECT_EQ(csvField("a\r\nb"), "\"a\r\nb\"");
}
