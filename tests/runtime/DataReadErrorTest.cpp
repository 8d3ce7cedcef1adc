#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "runtime/data/DataPages.h"
#include "runtime/data/PageReader.h"
#include "tests/runtime/DataFileFixture.h"
#include "tests/support/ReadFailure.h"

using runtime::PageBuffer;
using runtime::testing::formWith;
using runtime::testing::numberedLines;
using runtime::testing::TempDataFile;

namespace {

// The first cells of every record, trailing blanks removed, joined by blanks.
std::string rowsOf(const PageBuffer& page) {
    std::string rows;
    for (const auto& record : page.records()) {
        std::string text(record.text, sizeof(record.text));
        text.erase(text.find_last_not_of(' ') + 1);
        rows += (rows.empty() ? "" : " ") + text;
    }
    return rows;
}

const formdesc::FormInfo kForm = formWith(80, 3);

struct ReadErrorRow {
    const char* name;
    long long failAfter; // bytes of "L1\nL2\n...L7\n" read before the error
    // Does the reading and says what came of it.
    std::function<std::string(const std::string& path)> read;
    std::string outcome;
};

void PrintTo(const ReadErrorRow& row, std::ostream* out) {
    *out << row.name;
}

// A read error half way through the file is a failure of whoever reads it,
// never an early end of the file that would print or show part of the data as
// if it were all of it.
class DataReadError : public ::testing::TestWithParam<ReadErrorRow> {};

TEST_P(DataReadError, FailsInsteadOfEndingTheFile) {
    const TempDataFile file(numberedLines(7));
    const testsupport::ReadFailure failure(file.path(), GetParam().failAfter);
    EXPECT_EQ(GetParam().read(file.path()), GetParam().outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DataReadError,
    ::testing::Values(ReadErrorRow{"CountingPages", 10,
                                   [](const std::string& path) {
                                       const auto pages = runtime::countPages(path, kForm.rows);
                                       return pages ? std::to_string(*pages) + " pages" : "failed";
                                   },
                                   "failed"},
                      ReadErrorRow{"IndexingPages", 10,
                                   [](const std::string& path) {
                                       const auto index = runtime::buildPageIndex(path, kForm.rows);
                                       return index ? std::to_string(index->pageCount) + " pages" : "failed";
                                   },
                                   "failed"},
                      ReadErrorRow{"LoadingAPageKeepsTheShownOne", 4,
                                   [](const std::string& path) {
                                       PageBuffer page;
                                       page.addRecord("SHOWN", kForm);
                                       const bool loaded = runtime::loadPage(path, 9, kForm, page);
                                       return (loaded ? "loaded " : "failed ") + rowsOf(page);
                                   },
                                   "failed SHOWN"},
                      ReadErrorRow{"StreamingPagesStopsBeforeTheCutPage", 10,
                                   [](const std::string& path) {
                                       runtime::PageReader reader;
                                       std::string pages;
                                       if (!reader.open(path))
                                           return std::string("not opened");
                                       PageBuffer page;
                                       while (reader.nextPage(page, kForm))
                                           pages += "[" + rowsOf(page) + "]";
                                       return pages + (reader.failed() ? " failed" : " complete");
                                   },
                                   "[L1 L2 L3] failed"}),
    [](const ::testing::TestParamInfo<ReadErrorRow>& info) { return std::string(info.param.name); });

} // namespace
