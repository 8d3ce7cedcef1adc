#include "tests/preview/PreviewFixture.h"

#include <QAbstractButton>
#include <QApplication>
#include <QGuiApplication>
#include <QPrintDialog>
#include <QScreen>
#include <QTimer>

#include <fstream>
#include <iterator>

#include "platform/PdfDirectTarget.h"
#include "runtime/preview/PreviewJob.h"

using previewtest::kThreeRowForm;
using previewtest::pagedLines;

namespace {

using runtime::PreviewDialog;
using runtime::PreviewJob;

class PreviewJobTest : public ::testing::Test {
  protected:
    // Runs the job; `shown` runs in the modal loop. A window still open after
    // a long while is closed, so that a fault fails the test instead of
    // hanging it.
    int run(PreviewJob& job, std::function<void(PreviewDialog&)> shown = {}) {
        job.setShownHandler([this, shown](PreviewDialog& dialog) {
            m_dialog = &dialog;
            QTimer::singleShot(20000, &dialog, [this, &dialog] {
                m_forcedClose = true;
                dialog.reject();
            });
            if (shown)
                QTimer::singleShot(0, &dialog, [shown, &dialog] { shown(dialog); });
        });
        return job.run();
    }

    std::string form(const std::string& utf8 = kThreeRowForm, const char* name = "form.zrk") {
        return m_folder.write(name, utf8);
    }
    std::string data(const std::string& text, const char* name = "data.dat") {
        return m_folder.write(name, text);
    }

    previewtest::TempFolder m_folder;
    formdesc::RecordingMessageSink m_messages;
    formdesc::ScopedMessageSink m_scopedSink{m_messages};
    PreviewDialog* m_dialog = nullptr;
    bool m_forcedClose = false;
};

TEST_F(PreviewJobTest, FormAndDataFailuresEndBeforeAnyWindow) {
    const struct {
        const char* name;
        std::string form;
        std::string data;
        int result;
        const char* message;
    } rows[] = {
        {"no form", "/nonexistent/form.zrk", data("P1-1\n"), runtime::kViewFormFailed,
         "帳票パラメータがオープンできません"},
        {"form fails its check", form("BASE SIZE=A4, COLUMN=0, ROW=0;\n", "bad.zrk"), data("P1-1\n"),
         runtime::kViewFormFailed, nullptr},
        {"no data", form(), "/nonexistent/data.dat", runtime::kViewDataFailed,
         "帳票データがオープンできません"},
        {"empty data", form(), data("", "empty.dat"), runtime::kViewDataFailed,
         "帳票データがオープンできません"},
    };
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        m_messages.messages.clear();
        m_dialog = nullptr;
        PreviewJob job(row.form, row.data, nullptr);
        EXPECT_EQ(run(job), row.result);
        EXPECT_EQ(m_dialog, nullptr);
        ASSERT_EQ(m_messages.messages.size(), 1u);
        EXPECT_EQ(m_messages.messages[0].caption, "エラー");
        if (row.message) {
            EXPECT_NE(m_messages.messages[0].text.find(row.message), std::string::npos);
        }
    }
}

TEST_F(PreviewJobTest, ClosingTheWindowReturnsZero) {
    PreviewJob job(form(), data(pagedLines(2)), nullptr);
    bool visible = false;
    QString title;
    QRect geometry;
    QRect frame;
    const int result = run(job, [&](PreviewDialog& dialog) {
        visible = dialog.isVisible();
        title = dialog.windowTitle();
        geometry = dialog.geometry();
        frame = dialog.frameGeometry();
        dialog.findChild<QAbstractButton*>(QStringLiteral("closeButton"))->click();
    });
    EXPECT_EQ(result, runtime::kViewDone);
    EXPECT_FALSE(m_forcedClose);
    EXPECT_TRUE(visible);
    EXPECT_EQ(title, QStringLiteral("プレビュー［試験］"));
    // The desktop less a border, from the screen rather than fixed numbers,
    // taken by the window's frame: the title bar lies on the screen too.
    const QRect desktop = QGuiApplication::primaryScreen()->availableGeometry();
    EXPECT_EQ(frame, desktop.adjusted(10, 10, -10, -30));
    EXPECT_TRUE(desktop.contains(frame));
    EXPECT_TRUE(frame.contains(geometry));
    EXPECT_TRUE(m_messages.messages.empty());
}

// PRINT=ONLY prints the preview's form and data once and closes the window
// by itself, whatever the print dialog's answer.
TEST_F(PreviewJobTest, PrintOnlyPrintsOnceThenCloses) {
    const std::string pdf = m_folder.write("out.pdf", "");
    for (const bool cancelled : {true, false}) {
        SCOPED_TRACE(cancelled);
        std::filesystem::remove(pdf);
        PreviewJob job(form(), data(pagedLines(3)), "CONTROL PRINT=ONLY;");
        int calls = 0;
        job.setPrintChooser([&](const formdesc::FormInfo&, const formdesc::PageSizeTenths& page,
                                const runtime::ControlOptions& options) {
            ++calls;
            EXPECT_FALSE(options.printsOnDefault());
            runtime::ChosenTarget chosen;
            if (cancelled)
                chosen.failure = runtime::kPrintCancelled;
            else
                chosen.target = std::make_unique<platform::PdfDirectTarget>(
                    pdf, platform::PaperTenths{page.width, page.height}, 72);
            return chosen;
        });
        EXPECT_EQ(run(job), runtime::kViewDone);
        EXPECT_FALSE(m_forcedClose);
        EXPECT_EQ(calls, 1);
        std::ifstream written(pdf, std::ios::binary);
        const std::string bytes((std::istreambuf_iterator<char>(written)), std::istreambuf_iterator<char>());
        EXPECT_EQ(bytes.rfind("%PDF", 0) == 0, !cancelled);
    }
}

// PRINT=ON prints once after the first paint and keeps the window; later
// paints do not print again.
TEST_F(PreviewJobTest, PrintOnPrintsOnceAndKeepsTheWindow) {
    PreviewJob job(form(), data(pagedLines(3)), "CONTROL PRINT=ON;");
    int calls = 0;
    bool openAfterPrint = false;
    job.setPrintChooser(
        [&](const formdesc::FormInfo&, const formdesc::PageSizeTenths&, const runtime::ControlOptions&) {
            ++calls;
            QTimer::singleShot(0, m_dialog, [this, &openAfterPrint] {
                openAfterPrint = m_dialog->isVisible();
                m_dialog->pageView().viewport()->repaint();
                m_dialog->goToPage(2);
                m_dialog->pageView().viewport()->repaint();
                QTimer::singleShot(0, m_dialog, [this] { m_dialog->accept(); });
            });
            runtime::ChosenTarget chosen;
            chosen.failure = runtime::kPrintCancelled;
            return chosen;
        });
    EXPECT_EQ(run(job), runtime::kViewDone);
    EXPECT_FALSE(m_forcedClose);
    EXPECT_EQ(calls, 1);
    EXPECT_TRUE(openAfterPrint);
}

// "印刷" without a chooser of the caller's asks the print dialog, which
// belongs to the preview window (kept above it, centred on it).
TEST_F(PreviewJobTest, ThePrintDialogBelongsToThePreview) {
    PreviewJob job(form(), data(pagedLines(3)), nullptr);
    QWidget* parent = nullptr;
    bool asked = false;
    QTimer poll;
    QObject::connect(&poll, &QTimer::timeout, [&] {
        if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
            asked = true;
            parent = dialog->parentWidget();
            dialog->reject();
            QTimer::singleShot(0, m_dialog, [this] { m_dialog->accept(); });
        }
    });
    poll.start(10);
    EXPECT_EQ(run(job, [](PreviewDialog& dialog) { dialog.print(); }), runtime::kViewDone);
    EXPECT_TRUE(asked);
    EXPECT_EQ(parent, m_dialog);
    EXPECT_FALSE(m_forcedClose);
}

TEST_F(PreviewJobTest, WithoutADisplayThePreviewSaysSo) {
    ASSERT_EQ(QGuiApplication::platformName(), QStringLiteral("offscreen"));
    EXPECT_FALSE(runtime::previewDisplayAvailable());
    testing::internal::CaptureStderr();
    const int result = runtime::runPreviewJob(0, form().c_str(), data("x\n").c_str(), nullptr);
    const std::string printed = testing::internal::GetCapturedStderr();
    EXPECT_EQ(result, runtime::kViewNoDisplay);
    EXPECT_NE(printed.find(runtime::kNoDisplayText), std::string::npos) << printed;
}

} // namespace
