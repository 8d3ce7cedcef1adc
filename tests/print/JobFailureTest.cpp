#include "runtime/print/PPModule.h"
#include "tests/print/PrintFixture.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <new>

namespace {

using printtest::DataLines;

const std::string kDataFile = "その他 - 帳票データがオープンできません";
const std::string kNoMemory = "メモリが足りません";

struct FailureRow {
    const char* name;
    // Runs when the job chooses its output, after it has counted the pages.
    std::function<void(const std::string& dataPath)> onChoose;
    // Runs as the job begins a page.
    std::function<void(int page)> onBeginPage;
    int result;
    std::string message;
    int pagesBegun;
};

void PrintTo(const FailureRow& row, std::ostream* out) {
    *out << row.name;
}

// A job that fails part way shows one message, gives its failure code and
// never ends the document: the output is dropped, not committed.
class FailedJob : public testing::TestWithParam<FailureRow> {};

TEST_P(FailedJob, EndsNoDocument) {
    const FailureRow& row = GetParam();
    DataLines data(3 * 60);
    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scoped(messages);
    printtest::TargetRecord target;
    target.onBeginPage = row.onBeginPage;
    const runtime::TargetChooser recording = printtest::recordingChooser(target);
    const std::string dataPath = data.path();
    auto chooser = [&](const formdesc::FormInfo& form, const formdesc::PageSizeTenths& pageSize,
                       const runtime::ControlOptions& options) {
        if (row.onChoose)
            row.onChoose(dataPath);
        return recording(form, pageSize, options);
    };
    runtime::PPModule job(printtest::testData("geometry.zrk"), dataPath, nullptr);

    EXPECT_EQ(job.run(chooser), row.result);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, row.message);
    EXPECT_EQ(target.pagesBegun, row.pagesBegun);
    EXPECT_FALSE(target.ended);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, FailedJob,
    testing::Values(FailureRow{"DataEmptiedAfterCounting",
                               [](const std::string& path) { std::filesystem::resize_file(path, 0); },
                               nullptr, runtime::kPrintDataFailed, kDataFile, 0},
                    FailureRow{"NoMemoryForTheOutput", [](const std::string&) { throw std::bad_alloc(); },
                               nullptr, runtime::kPrintCannotStart, kNoMemory, 0},
                    FailureRow{"NoMemoryOnPageTwo", nullptr,
                               [](int page) {
                                   if (page == 2)
                                       throw std::bad_alloc();
                               },
                               runtime::kPrintCannotStart, kNoMemory, 2}),
    [](const testing::TestParamInfo<FailureRow>& info) { return std::string(info.param.name); });

} // namespace
