#include "runtime/print/AbortDialog.h"
#include "runtime/print/AbortProgress.h"
#include "runtime/print/PPModule.h"
#include "tests/print/PrintFixture.h"

#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

namespace {

using printtest::DataLines;

// geometry.zrk has 60 rows a page.
constexpr int kRows = 60;

enum class Stop { Button, CloseBox };

struct StopCase {
    const char* name;
    int lines;     // of the data file
    int stopAfter; // the stop comes once this page has been printed
    Stop how;
    int pagesOut;
};

void PrintTo(const StopCase& row, std::ostream* out) {
    *out << row.name;
}

std::string progressText(int page) {
    return std::to_string(page) + " ﾍﾟｰｼﾞ目を印刷しています。";
}

// The stop is pressed once page `stopAfter` is out, that is while the lines of
// the next page are collected: that page and the ones after it are not
// printed, and the document is still ended.
class AbortDialogStop : public testing::TestWithParam<StopCase> {};

TEST_P(AbortDialogStop, PagesAlreadyPrintedStayAndTheDocumentEnds) {
    const StopCase& row = GetParam();
    DataLines data(row.lines);
    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scoped(messages);

    runtime::AbortProgress progress;
    printtest::TargetRecord target;
    std::vector<std::string> texts;
    bool dialogShown = false;
    target.onBeginPage = [&](int) {
        runtime::AbortDialog* dialog = progress.dialog();
        ASSERT_NE(dialog, nullptr);
        dialogShown = dialog->isVisible() && dialog->parentWidget() == nullptr &&
                      dialog->windowTitle() == QStringLiteral("印刷の中断");
        texts.push_back(dialog->progressText().toStdString());
    };
    target.onEndPage = [&](int page) {
        if (page != row.stopAfter)
            return;
        runtime::AbortDialog* dialog = progress.dialog();
        // Queued: the press arrives with the next events handled, while the
        // job reads the next page.
        if (row.how == Stop::Button) {
            QPushButton* button = dialog->stopButton();
            ASSERT_EQ(button->text(), QStringLiteral("中断"));
            QMetaObject::invokeMethod(
                button, [button] { QTest::mouseClick(button, Qt::LeftButton); }, Qt::QueuedConnection);
        } else {
            QMetaObject::invokeMethod(
                dialog, [dialog] { dialog->close(); }, Qt::QueuedConnection);
        }
    };

    runtime::PPModule job(printtest::testData("geometry.zrk"), data.path(), "CONTROL CANCEL=ON;");
    const int result = job.run(printtest::recordingChooser(target), &progress);

    EXPECT_EQ(result, runtime::kPrintDone);
    EXPECT_EQ(target.pagesEnded, row.pagesOut);
    EXPECT_EQ(job.pagesPrinted(), row.pagesOut);
    EXPECT_TRUE(target.ended) << "the document is ended after a stop";
    EXPECT_TRUE(dialogShown);
    std::vector<std::string> expected;
    for (int page = 1; page <= row.pagesOut; ++page)
        expected.push_back(progressText(page));
    EXPECT_EQ(texts, expected);
    EXPECT_EQ(progress.dialog(), nullptr) << "the dialog is gone once the loop ends";
    EXPECT_TRUE(messages.messages.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Cases, AbortDialogStop,
    testing::Values(StopCase{"ButtonWhilePage3IsCollected", 5 * kRows, 2, Stop::Button, 2},
                    StopCase{"CloseBoxWhilePage3IsCollected", 5 * kRows, 2, Stop::CloseBox, 2},
                    StopCase{"ButtonWhileTheLastPartPageIsCollected", 4 * kRows + 7, 4, Stop::Button, 4},
                    StopCase{"NoStopPrintsEveryPage", 5 * kRows, 99, Stop::Button, 5}),
    [](const testing::TestParamInfo<StopCase>& info) { return std::string(info.param.name); });

} // namespace
