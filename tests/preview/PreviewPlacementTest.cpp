#include "tests/preview/PreviewFixture.h"

#include <QCoreApplication>
#include <QDialog>
#include <QGuiApplication>
#include <QProcess>
#include <QScreen>
#include <QStandardPaths>
#include <QTimer>

#include <chrono>
#include <thread>

#include "runtime/preview/PreviewJob.h"

// Where the preview window lands under a real window manager, which puts a
// title bar above the client area once the window is mapped. Runs this
// program again on a private Xvfb display with openbox.
namespace {

using previewtest::kThreeRowForm;
using previewtest::pagedLines;

const char* kOnDisplay = "ZRK_PREVIEW_TEST_ON_DISPLAY";

// Stops a started program when the test ends, whatever happened.
struct Started {
    QProcess process;
    ~Started() {
        if (process.state() != QProcess::NotRunning) {
            process.terminate();
            if (!process.waitForFinished(5000))
                process.kill();
        }
    }
};

TEST(PreviewPlacement, TitleBarOnTheScreenUnderAWindowManager) {
    if (qEnvironmentVariableIsSet(kOnDisplay))
        GTEST_SKIP() << "the run on the display itself";
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    const QString openbox = QStandardPaths::findExecutable(QStringLiteral("openbox"));
    if (xvfb.isEmpty() || openbox.isEmpty())
        GTEST_SKIP() << "Xvfb or openbox is not installed";

    Started server;
    server.process.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"),
                                QStringLiteral("-nolisten"), QStringLiteral("tcp"), QStringLiteral("-screen"),
                                QStringLiteral("0"), QStringLiteral("1024x768x24")});
    ASSERT_TRUE(server.process.waitForStarted(10000));
    QByteArray display;
    while (!display.contains('\n') && server.process.waitForReadyRead(10000))
        display += server.process.readAllStandardOutput();
    ASSERT_FALSE(display.trimmed().isEmpty()) << "Xvfb gave no display number";
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(display.trimmed()));

    Started manager;
    manager.process.setProcessEnvironment(env);
    manager.process.start(openbox, {});
    ASSERT_TRUE(manager.process.waitForStarted(10000));
    std::this_thread::sleep_for(std::chrono::seconds(1)); // openbox takes the screen

    QProcess child;
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QString::fromLatin1(kOnDisplay), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=PreviewPlacementOnDisplay.*")});
    const bool finished = child.waitForFinished(120000);
    const QByteArray output = child.readAll();
    if (!finished)
        child.kill();
    ASSERT_TRUE(finished) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(PreviewPlacementOnDisplay, FrameIsPlacedOnTheAvailableArea) {
    if (!qEnvironmentVariableIsSet(kOnDisplay))
        GTEST_SKIP() << "runs on the display TitleBarOnTheScreenUnderAWindowManager starts";
    previewtest::TempFolder folder;
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);
    runtime::PreviewJob job(folder.write("form.zrk", kThreeRowForm), folder.write("data.dat", pagedLines(2)),
                            nullptr);
    QRect frame;
    QRect client;
    job.setShownHandler([&](runtime::PreviewDialog& dialog) {
        // Looks until the window manager's frame is there (or gives up after
        // a while), then closes the window.
        auto* poll = new QTimer(&dialog);
        QObject::connect(poll, &QTimer::timeout, &dialog, [&dialog, &frame, &client, ticks = 0]() mutable {
            ++ticks;
            if (dialog.isVisible() && dialog.frameGeometry() != dialog.geometry() && ticks > 10) {
                frame = dialog.frameGeometry();
                client = dialog.geometry();
                dialog.reject();
            } else if (ticks > 150) {
                dialog.reject();
            }
        });
        poll->start(50);
    });
    EXPECT_EQ(job.run(), runtime::kViewDone);
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_TRUE(frame.isValid()) << "the window manager put no frame around the window";
    EXPECT_GT(client.top(), frame.top()) << "no title bar above the client area";
    EXPECT_EQ(frame, available.adjusted(10, 10, -10, -30));
    EXPECT_TRUE(available.contains(frame));
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
