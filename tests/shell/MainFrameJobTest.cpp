#include "tests/shell/ShellFixture.h"

#include "editor/shell/ShellCommands.h"

#include <QApplication>
#include <QTimer>

#include <climits>

using editor::Command;
using editor::RuntimeMode;

// While the runtime prints it pumps events: what the user does meanwhile
// reaches no command of the frame, starts no second job, and a close
// request closes the frame once the job is over.
TEST_F(ShellFixture, ARuntimeJobTakesNoCommandsAndACloseWaitsForIt) {
    startFrame();
    std::vector<RuntimeMode> jobs;
    frame().setRuntimeJob([&](RuntimeMode mode) {
        jobs.push_back(mode);
        if (jobs.size() > 1)
            return; // a nested job: the fault itself, already counted
        EXPECT_TRUE(frame().runtimeJobRunning());
        EXPECT_FALSE(frame().isEnabled());
        QTest::mouseClick(button("印刷"), Qt::LeftButton);
        QTest::mouseClick(button("表示"), Qt::LeftButton);
        // A command that reached its action anyway (a queued trigger).
        frame().action(Command::PrintImage)->trigger();
        QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);
        QTest::keyClick(&frame(), Qt::Key_O, Qt::ControlModifier);
        EXPECT_FALSE(frame().close());
        EXPECT_TRUE(frame().isVisible());
        QApplication::processEvents();
    });

    QTest::mouseClick(button("印刷"), Qt::LeftButton);
    EXPECT_EQ(jobs, std::vector<RuntimeMode>{RuntimeMode::Print});
    EXPECT_TRUE(ui.saveFolders.isEmpty());
    EXPECT_TRUE(ui.openFolders.isEmpty());
    // The close asked for during the job, done after it as any close is.
    EXPECT_FALSE(frame().isVisible());
    EXPECT_FALSE(frame().runtimeJobRunning());
    EXPECT_TRUE(QFile::exists(settingsPath()));
}

TEST_F(ShellFixture, AfterAJobTheFrameTakesCommandsAgain) {
    startFrame();
    std::vector<RuntimeMode> jobs;
    frame().setRuntimeJob([&](RuntimeMode mode) { jobs.push_back(mode); });
    frame().canvas().setFocus();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    QTest::mouseClick(button("表示"), Qt::LeftButton);
    EXPECT_TRUE(frame().isEnabled());
    // The arrow keys move items again without a click on the canvas first.
    EXPECT_TRUE(frame().canvas().hasFocus());
    QTest::mouseClick(button("印刷"), Qt::LeftButton);
    EXPECT_EQ(jobs, (std::vector<RuntimeMode>{RuntimeMode::Preview, RuntimeMode::Print}));
    EXPECT_TRUE(frame().isVisible());
    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_EQ(ui.saveFolders.size(), 1);
}

// Stored rectangles that no screen can show as they are give the maximised start.
TEST_F(ShellFixture, AWindowRectangleThatDoesNotFitTheScreenStartsMaximised) {
    const struct {
        const char* name;
        long long left, top, right, bottom;
    } cases[] = {
        {"off every screen", 100000, 100000, 100800, 100600},
        {"larger than the screen", 0, 0, 16777215, 16777215},
        {"overflowing", INT_MIN, INT_MIN, INT_MAX, INT_MAX},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        startFrame(QStringLiteral("[Last Window]\nleft=%1\ntop=%2\nright=%3\nbottom=%4\n")
                       .arg(c.left)
                       .arg(c.top)
                       .arg(c.right)
                       .arg(c.bottom));
        EXPECT_TRUE(frame().isMaximized());
        ASSERT_TRUE(frame().close());
        EXPECT_TRUE(settingsBytes().contains("left=-1\r\ntop=-1\r\nright=-1\r\nbottom=-1\r\n"));
    }
}

// The real road, run by tests/print/designer_cups.sh against a private cupsd
// whose default queue holds its jobs: the runtime's page loop pumps events
// while the abort dialog is up, and what the user does then reaches no
// command of the frame; the script counts the jobs that reached the queue.
TEST_F(ShellFixture, ARealPrintJobRunsAloneAndACloseWaitsForIt) {
    if (qEnvironmentVariableIsEmpty("ZRK_TEST_PRIVATE_CUPSD"))
        GTEST_SKIP() << "needs the private cupsd of tests/print/designer_cups.sh";
    startFrame();
    ASSERT_TRUE(frame().canvas().openFormFile(exampleCopy()));
    bool actedDuringJob = false;
    QTimer during;
    during.setInterval(0);
    QObject::connect(&during, &QTimer::timeout, [&] {
        if (!frame().runtimeJobRunning())
            return;
        during.stop();
        actedDuringJob = true;
        EXPECT_FALSE(frame().isEnabled());
        QWidget* abort = nullptr;
        for (QWidget* window : QApplication::topLevelWidgets())
            if (window->isVisible() && window->windowTitle() == QStringLiteral("印刷の中断"))
                abort = window;
        ASSERT_TRUE(abort);
        EXPECT_TRUE(abort->isEnabled());
        QTest::mouseClick(button("印刷"), Qt::LeftButton);
        frame().action(Command::PrintImage)->trigger();
        EXPECT_FALSE(frame().close());
        EXPECT_TRUE(frame().isVisible());
    });
    during.start();
    QTest::mouseClick(button("印刷"), Qt::LeftButton);
    EXPECT_TRUE(actedDuringJob);
    EXPECT_FALSE(frame().isVisible());
    for (const auto& message : messages.messages)
        ADD_FAILURE() << message.text;
}
