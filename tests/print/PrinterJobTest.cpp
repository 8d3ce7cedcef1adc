#include "platform/PrinterPageTarget.h"
#include "runtime/print/PPModule.h"
#include "runtime/print/PrinterChooser.h"
#include "tests/print/PrintFixture.h"

#include <QApplication>
#include <QPageSize>
#include <QPrintDialog>
#include <QPrinter>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

using printtest::DataLines;

const std::string kNoDevice = "その他 - プリンタＤＣの獲得に失敗しました";
const std::string kCannotPrint = "その他 - プリンタが使用できません";

std::vector<std::string> texts(const formdesc::RecordingMessageSink& sink) {
    std::vector<std::string> out;
    for (const auto& message : sink.messages)
        out.push_back(message.text);
    return out;
}

// Rejects the print dialog as soon as one is the active modal window.
class DialogCanceller {
  public:
    DialogCanceller() {
        QObject::connect(&m_timer, &QTimer::timeout, [this] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                m_seen = true;
                dialog->reject();
            }
        });
        m_timer.start(10);
    }
    bool seen() const { return m_seen; }

  private:
    QTimer m_timer;
    bool m_seen = false;
};

struct RoadCase {
    const char* name;
    const char* control;
    bool dialogAllowed;
    bool dialogExpected;
    int result;
    std::vector<std::string> messages;
    std::string reason;
};

void PrintTo(const RoadCase& row, std::ostream* out) {
    *out << row.name;
}

// Which way the printer is chosen, on a machine without printers: the
// dialog when someone can answer it (cancelled: 1 and silence), otherwise
// the default queue, whose absence is -3 with its message.
class PrinterRoads : public testing::TestWithParam<RoadCase> {};

TEST_P(PrinterRoads, ResultAndMessages) {
    const RoadCase& row = GetParam();
    DataLines data(60);
    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scoped(messages);
    DialogCanceller canceller;

    runtime::PrinterRoad road;
    road.dialogAllowed = row.dialogAllowed;
    runtime::PPModule job(printtest::testData("geometry.zrk"), data.path(), row.control);
    EXPECT_EQ(job.run(runtime::printerChooser(road)), row.result);
    EXPECT_EQ(canceller.seen(), row.dialogExpected);
    EXPECT_EQ(texts(messages), row.messages);
    EXPECT_EQ(job.outputError(), row.reason);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterRoads,
    testing::Values(RoadCase{"DialogCancelled", nullptr, true, true, runtime::kPrintCancelled, {}, ""},
                    RoadCase{"OtherPrinterValueStillAsks",
                             "CONTROL PRINTER=PDF;",
                             true,
                             true,
                             runtime::kPrintCancelled,
                             {},
                             ""},
                    RoadCase{"DefaultInAnyCaseSkipsTheDialog",
                             "control printer=dEfAuLt;",
                             true,
                             false,
                             runtime::kPrintNoDevice,
                             {kNoDevice},
                             "there is no default printer"},
                    RoadCase{"NoDisplayTakesTheDefault",
                             nullptr,
                             false,
                             false,
                             runtime::kPrintNoDevice,
                             {kNoDevice},
                             "there is no default printer"}),
    [](const testing::TestParamInfo<RoadCase>& info) { return std::string(info.param.name); });

TEST(PrinterRoads, NamedQueueThatDoesNotExist) {
    DataLines data(60);
    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scoped(messages);
    runtime::PrinterRoad road;
    road.queue = "NO_SUCH_QUEUE";
    runtime::PPModule job(printtest::testData("geometry.zrk"), data.path(), nullptr);
    EXPECT_EQ(job.run(runtime::printerChooser(road)), runtime::kPrintNoDevice);
    EXPECT_EQ(texts(messages), std::vector<std::string>{kNoDevice});
    EXPECT_EQ(job.outputError(), "there is no printer named NO_SUCH_QUEUE");
}

struct FailureCase {
    const char* name;
    bool failBegin;
    bool failEnd;
    int pagesOut;
    std::string error;
};

void PrintTo(const FailureCase& row, std::ostream* out) {
    *out << row.name;
}

// A printer that cannot start the document, or a spooler that refuses the
// finished one: -11 with "プリンタが使用できません", never success.
class PrinterFailures : public testing::TestWithParam<FailureCase> {};

TEST_P(PrinterFailures, AreReportedAsCannotPrint) {
    const FailureCase& row = GetParam();
    DataLines data(3 * 60);
    formdesc::RecordingMessageSink messages;
    formdesc::ScopedMessageSink scoped(messages);
    printtest::TargetRecord target;
    target.failBegin = row.failBegin;
    target.failEnd = row.failEnd;
    runtime::PPModule job(printtest::testData("geometry.zrk"), data.path(), nullptr);
    const int result = job.run(printtest::recordingChooser(target));
    EXPECT_EQ(result, runtime::kPrintCannotStart);
    EXPECT_EQ(target.pagesEnded, row.pagesOut);
    EXPECT_EQ(texts(messages), std::vector<std::string>{kCannotPrint});
    EXPECT_EQ(job.outputError(), row.error);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PrinterFailures,
    testing::Values(FailureCase{"BeginFails", true, false, 0, "no paper"},
                    FailureCase{"SpoolerRefusesAtTheEnd", false, true, 3, "the queue is not accepting jobs"}),
    [](const testing::TestParamInfo<FailureCase>& info) { return std::string(info.param.name); });

// The printer's paper as the runtime's paper table knows it: B4 and B5 are
// the JIS sizes; the ISO B sizes and everything else count as A4.
TEST(PrinterPageTarget, PaperCodeOfThePrintersPageSize) {
    const struct {
        QPageSize::PageSizeId size;
        int code;
    } rows[] = {{QPageSize::A3, 8},     {QPageSize::A4, 9},     {QPageSize::A5, 11},
                {QPageSize::JisB4, 12}, {QPageSize::JisB5, 13}, {QPageSize::B4, 9},
                {QPageSize::B5, 9},     {QPageSize::Letter, 9}, {QPageSize::Legal, 9}};
    for (const auto& row : rows)
        EXPECT_EQ(platform::PrinterPageTarget::dmPaperCode(QPageSize(row.size)), row.code)
            << QPageSize(row.size).name().toStdString();
}

struct TurnCase {
    QPageSize::PageSizeId size;
    QPageLayout::Orientation printerOrientation;
    int direction;
    QPageLayout::Orientation expected;
    platform::PaperTenths paper;
};

// The printer keeps its paper and is turned to the form's direction, whatever
// it was set to before; the origin is the printable area's corner.
TEST(PrinterPageTarget, KeepsThePaperAndTurnsItToTheForm) {
    const TurnCase rows[] = {
        {QPageSize::A4, QPageLayout::Landscape, formdesc::kPortrait, QPageLayout::Portrait, {2100, 2970}},
        {QPageSize::A4, QPageLayout::Portrait, formdesc::kLandscape, QPageLayout::Landscape, {2970, 2100}},
        {QPageSize::JisB4, QPageLayout::Portrait, formdesc::kLandscape, QPageLayout::Landscape, {3640, 2570}},
        {QPageSize::A3, QPageLayout::Landscape, formdesc::kPortrait, QPageLayout::Portrait, {2970, 4200}},
    };
    for (const auto& row : rows) {
        auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
        printer->setPageSize(QPageSize(row.size));
        printer->setPageOrientation(row.printerOrientation);
        printer->setFullPage(true);
        platform::PrinterPageTarget target(std::move(printer), row.direction);
        EXPECT_EQ(target.printer().pageLayout().orientation(), row.expected);
        EXPECT_EQ(target.printer().pageLayout().pageSize().id(), row.size);
        EXPECT_FALSE(target.printer().fullPage());
        EXPECT_EQ(target.paper().width, row.paper.width);
        EXPECT_EQ(target.paper().height, row.paper.height);
        EXPECT_EQ(target.dpiX(), target.printer().resolution());
    }
}

} // namespace
