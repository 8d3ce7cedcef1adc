#include "runtime/data/CsvReader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
#include <vector>

using runtime::CsvReader;

namespace {

using Records = std::vector<std::vector<std::string>>;

struct Read {
    Records records;
    runtime::RecordError error;
};

Read readAll(std::string data) {
    std::FILE* in = ::fmemopen(data.data(), data.size(), "rb");
    CsvReader reader(in);
    Read read;
    std::vector<std::string_view> fields;
    while (reader.next(fields))
        read.records.emplace_back(fields.begin(), fields.end());
    read.error = reader.error();
    std::fclose(in);
    return read;
}

std::string repeated(std::string_view text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i)
        out += text;
    return out;
}

std::string csvQuoted(std::string_view text) {
    std::string out = "\"";
    for (char c : text) {
        out += c;
        if (c == '"')
            out += '"';
    }
    return out + "\"";
}

} // namespace

// 200 kB of records, so the reader's buffer is refilled inside fields of
// every kind: plain, quoted, with doubled quotes and with line breaks. Each
// field reads whole, the earlier fields of a record included.
TEST(CsvReaderTest, fieldsReadWholeAcrossRefills) {
    std::string data;
    Records expected;
    for (int i = 0; data.size() < 200000; ++i) {
        const std::string plain = std::to_string(i) + repeated("あ", i % 7);
        const std::string doubled = "品目" + std::string(static_cast<std::size_t>(i % 37), 'x') + "\"特\"";
        const std::string comma = "3," + std::string(static_cast<std::size_t>(i % 11), '0');
        const std::string broken = i % 5 == 0 ? "two\r\nlines" : "";
        data += plain + "," + csvQuoted(doubled) + "," + csvQuoted(comma) + "," +
                (broken.empty() ? "" : csvQuoted(broken)) + (i % 2 ? "\r\n" : "\n");
        expected.push_back({plain, doubled, comma, broken});
    }
    const Read read = readAll(data);
    EXPECT_FALSE(read.error.isSet()) << read.error.what;
    ASSERT_EQ(read.records.size(), expected.size());
    for (std::size_t i = 0; i < expected.size(); ++i)
        ASSERT_EQ(read.records[i], expected[i]) << "record " << i;
}

// The column of an error counts the characters of its line, those read
// before a refill of the buffer too.
TEST(CsvReaderTest, errorColumnsCountAcrossRefills) {
    const struct {
        const char* name;
        std::string data;
        std::uint64_t line;
        std::uint64_t column;
    } rows[] = {
        {"quoteInsideValue", "NO\n" + repeated("あ", 70000) + "\"\n", 2, 70001},
        {"quoteLeftOpen", "NO\nx,\"" + repeated("あ", 30000) + "\n" + repeated("い", 30000), 2, 3},
        {"quoteLeftOpenAfterLongLine", "NO\n" + repeated("あ", 30000) + ",\"x\n", 2, 30002},
        {"textAfterQuoteOnItsLastLine",
         "NO\n" + repeated("う", 30000) + ",\"a\n" + repeated("え", 30000) + "\"z", 3, 30002},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        const Read read = readAll(row.data);
        ASSERT_TRUE(read.error.isSet());
        EXPECT_EQ(read.error.line, row.line);
        EXPECT_EQ(read.error.column, row.column);
    }
}
