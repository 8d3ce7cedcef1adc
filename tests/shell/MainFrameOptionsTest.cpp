#include "tests/shell/ShellFixture.h"

#include "editor/document/FormDocument.h"
#include "editor/shell/OptionsDialog.h"
#include "editor/shell/ShellCommands.h"

#include <QApplication>
#include <QCheckBox>
#include <QDialogButtonBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

#include <functional>

using editor::Command;

namespace {

// Acts once on the first modal dialog of the type that shows, from inside
// its event loop (the menu's own event processing comes first).
template <typename Dialog> void whenModal(std::function<void(Dialog&)> act) {
    auto* poll = new QTimer;
    QObject::connect(poll, &QTimer::timeout, [poll, act] {
        auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget());
        if (!dialog)
            return;
        poll->stop();
        poll->deleteLater();
        act(*dialog);
    });
    poll->start(10);
}

template <typename Widget> Widget* namedChild(QWidget& parent, const QString& name) {
    for (Widget* widget : parent.findChildren<Widget*>())
        if (widget->accessibleName() == name)
            return widget;
    return nullptr;
}

} // namespace

// 設定(&S)... shows both options as named check boxes; OK applies what is
// checked to the canvas at once and the settings file gets it on close;
// キャンセル changes nothing.
TEST_F(ShellFixture, OptionsDialogSetsModeKeepAndUpdateMove) {
    startFrame("[Option]\nModeKeep=0\nUpdateMove=1\n");
    const struct {
        const char* name;
        bool ok;
        bool modeKeep;
        bool updateMove;
    } rows[] = {{"cancel", false, false, true}, {"ok", true, true, false}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        bool seen = false;
        whenModal<editor::OptionsDialog>([&seen, &row](editor::OptionsDialog& dialog) {
            seen = true;
            EXPECT_EQ(dialog.windowTitle(), QStringLiteral("設定"));
            auto* keep =
                namedChild<QCheckBox>(dialog, QStringLiteral("部品の作成後も同じ部品を続けて作成する"));
            auto* move = namedChild<QCheckBox>(dialog, QStringLiteral("前／次への移動時に変更を保存する"));
            ASSERT_TRUE(keep && move);
            EXPECT_FALSE(keep->isChecked());
            EXPECT_TRUE(move->isChecked());
            QTest::mouseClick(keep, Qt::LeftButton, {}, QPoint(8, keep->height() / 2));
            QTest::keyClick(move, Qt::Key_Space);
            auto* buttons = dialog.findChild<QDialogButtonBox*>();
            QTest::mouseClick(buttons->button(row.ok ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel),
                              Qt::LeftButton);
        });
        chooseMenuItem("オプション(&O)", "設定(&S)...");
        EXPECT_TRUE(QTest::qWaitFor([&seen] { return seen; }));
        EXPECT_EQ(frame().canvas().modeKeep(), row.modeKeep);
        EXPECT_EQ(frame().canvas().updateMove(), row.updateMove);
    }
    ASSERT_TRUE(frame().close());
    EXPECT_TRUE(settingsBytes().contains("[Option]\r\nModeKeep=1\r\nUpdateMove=0\r\n"))
        << settingsBytes().data();
}

// The title is "Tabrik [title]" after the form sheet's OK and after undo,
// with Qt's marker while the form differs from its file; Save tells where it
// wrote, and Save As offers the current name.
TEST_F(ShellFixture, TitleMarksChangesAndSavingSaysWhere) {
    startFrame();
    const QString form = exampleCopy();
    ui.openAnswers.push_back(form);
    QTest::keyClick(&frame(), Qt::Key_O, Qt::ControlModifier);
    editor::FormDocument& document = frame().canvas().document();
    const QString opened = editor::FormDocument::titleFor(document.model().form);
    EXPECT_EQ(frame().windowTitle(), opened + "[*]");
    EXPECT_FALSE(frame().isWindowModified());

    whenModal<QDialog>([](QDialog& sheet) {
        QLineEdit* title = namedChild<QLineEdit>(sheet, QStringLiteral("名称"));
        ASSERT_TRUE(title);
        title->setFocus();
        title->selectAll();
        QTest::keyClick(title, Qt::Key_Delete);
        QTest::keyClicks(title, "DELIVERY");
        QTest::mouseClick(sheet.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::Ok), Qt::LeftButton);
    });
    QTest::mouseClick(button("帳票情報"), Qt::LeftButton);
    EXPECT_TRUE(QTest::qWaitFor([this] { return frame().isWindowModified(); }));
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Tabrik [DELIVERY][*]"));

    // The keys go to the frame once it is active again after the sheet.
    frame().activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&frame()));
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(frame().windowTitle(), opened + "[*]");
    EXPECT_FALSE(frame().isWindowModified());
    QTest::keyClick(&frame(), Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Tabrik [DELIVERY][*]"));
    EXPECT_TRUE(frame().isWindowModified());

    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);
    EXPECT_FALSE(frame().isWindowModified());
    EXPECT_EQ(frame().statusBar()->currentMessage(), "保存しました: " + form);

    const QString copy = folderPath() + "/delivery.zrk";
    ui.saveAnswers.push_back(copy);
    frame().action(Command::SaveFormAs)->trigger();
    ASSERT_EQ(ui.saveNames.size(), 1);
    EXPECT_EQ(ui.saveNames.first(), QStringLiteral("invoice.zrk"));
    EXPECT_EQ(frame().statusBar()->currentMessage(), "保存しました: " + copy);
    EXPECT_TRUE(messages.messages.empty());
}
