#include "tests/shell/ShellFixture.h"

#include "editor/shell/AboutBox.h"
#include "editor/shell/DesignerStartup.h"
#include "editor/shell/ShellCommands.h"
#include "tests/support/CanvasDriver.h"

#include <QAccessible>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTimer>

using editor::Command;

namespace {

// The item texts of a menu in order: "-" for a separator, ">" before a
// submenu's title, "!" after a command that is present but not available yet,
// and the first key after a tab.
QStringList describe(const QMenu& menu) {
    QStringList items;
    for (QAction* action : menu.actions()) {
        if (action->isSeparator()) {
            items << "-";
            continue;
        }
        QString text = action->menu() ? ">" + action->text() : action->text();
        if (!action->shortcut().isEmpty())
            text += "\t" + action->shortcut().toString(QKeySequence::PortableText);
        items << (action->isEnabled() ? text : text + "!");
        if (action->menu())
            items << describe(*action->menu());
    }
    return items;
}

} // namespace

TEST_F(ShellFixture, StartsWithANewFormAndEveryBarDocked) {
    startFrame();
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Tabrik [新規帳票][*]"));
    EXPECT_FALSE(frame().isWindowModified());
    // No settings file: the first start is maximised.
    EXPECT_TRUE(frame().isMaximized());
    QToolBar* toolbar = frame().toolbar();
    QToolBar* palette = frame().partsPalette();
    EXPECT_EQ(frame().toolBarArea(toolbar), Qt::TopToolBarArea);
    EXPECT_EQ(frame().toolBarArea(palette), Qt::TopToolBarArea);
    // The palette shares the toolbar's row, right of it.
    EXPECT_EQ(palette->y(), toolbar->y());
    EXPECT_GE(palette->x(), toolbar->x() + toolbar->width());
    EXPECT_EQ(toolbar->windowTitle(), QStringLiteral("ツールバー"));
    EXPECT_EQ(palette->windowTitle(), QStringLiteral("部品パレット"));

    QStringList panes;
    for (QLabel* label : frame().statusBar()->findChildren<QLabel*>())
        panes << label->text();
    EXPECT_EQ(panes, (QStringList{"ﾚﾃﾞｨ", "ｶﾅ", "CAP", "NUM", "SCRL"}));
    EXPECT_EQ(frame().canvas().toolMode(), 1);
    EXPECT_TRUE(button("範囲選択")->isChecked());
}

TEST_F(ShellFixture, MenusHoldEveryCommand) {
    startFrame();
    const struct {
        const char* title;
        QStringList items;
    } rows[] = {
        {"ファイル(&F)",
         {"新規作成(&N)\tCtrl+N", "開く(&O)...\tCtrl+O", "-", "保存(&S)\tCtrl+S", "名前を付けて保存(&A)...",
          "-", "サンプルデータ(&D)...", "-", "終了(&X)"}},
        {"編集(&E)",
         {"元に戻す(&U)\tCtrl+Z!", "やり直し(&R)\tCtrl+Y!", "-", "切り取り(&T)\tCtrl+X!", "複写(&C)\tCtrl+C!",
          "貼り付け(&P)\tCtrl+V!", "削除(&D)\tDel!", "-", "すべて選択(&A)\tCtrl+A"}},
        {"表示(&V)", {"ツールバー(&T)", "ステータスバー(&S)", "-", "部品パレット(&P)", "編集パレット(&E)"}},
        {"オプション(&O)",
         {"表示イメージ(&V)", "印刷イメージ(&P)", "-", ">帳票設計(&D)", "設計用紙(&L)...", "記入用紙(&F)...",
          "-", "設定(&S)..."}},
        {"ヘルプ(&H)", {"バージョン情報(&A)..."}},
    };
    QStringList titles;
    for (QAction* action : frame().menuBar()->actions())
        titles << action->text();
    EXPECT_EQ(titles, (QStringList{"ファイル(&F)", "編集(&E)", "表示(&V)", "オプション(&O)", "ヘルプ(&H)"}));
    for (const auto& row : rows) {
        const QMenu* popup = menu(QString::fromUtf8(row.title));
        ASSERT_TRUE(popup);
        EXPECT_EQ(describe(*popup), row.items) << row.title;
    }
    // The second keys of the clipboard commands.
    EXPECT_EQ(frame().action(Command::Cut)->shortcuts().value(1), QKeySequence("Shift+Del"));
    EXPECT_EQ(frame().action(Command::Copy)->shortcuts().value(1), QKeySequence("Ctrl+Ins"));
    EXPECT_EQ(frame().action(Command::Paste)->shortcuts().value(1), QKeySequence("Shift+Ins"));
    EXPECT_EQ(frame().action(Command::Redo)->shortcuts().value(1), QKeySequence("Ctrl+Shift+Z"));
}

TEST_F(ShellFixture, DrawCopyPasteUndoAndDeleteWithTheKeys) {
    startFrame();
    editor::FormCanvas& canvas = frame().canvas();
    const formdesc::FormModel& model = canvas.document().model();
    const auto enabled = [this](Command id) { return frame().action(id)->isEnabled(); };
    testsupport::CanvasDriver mouse(canvas);

    QTest::mouseClick(button("フィールド"), Qt::LeftButton);
    mouse.drag(mouse.at(3, 3), mouse.at(12, 3));
    ASSERT_EQ(model.fieldCount, 1);
    // The tool went back to the range selection and the new field is selected.
    EXPECT_TRUE(button("範囲選択")->isChecked());
    EXPECT_TRUE(enabled(Command::Copy) && enabled(Command::Cut) && enabled(Command::Delete));
    EXPECT_TRUE(enabled(Command::Undo));
    EXPECT_FALSE(enabled(Command::Paste));

    QTest::keyClick(&frame(), Qt::Key_C, Qt::ControlModifier);
    EXPECT_TRUE(enabled(Command::Paste));
    QTest::keyClick(&frame(), Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(model.fieldCount, 2);
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model.fieldCount, 1);
    EXPECT_TRUE(enabled(Command::Redo));
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier | Qt::ShiftModifier);
    EXPECT_EQ(model.fieldCount, 2);

    mouse.click(mouse.at(5, 3));
    QTest::keyClick(&canvas, Qt::Key_Right);
    EXPECT_EQ(model.fields[0].startCol, 4);
    QTest::keyClick(&frame(), Qt::Key_Delete);
    EXPECT_EQ(model.fieldCount, 1);
    EXPECT_FALSE(enabled(Command::Delete));
    QTest::keyClick(&frame(), Qt::Key_Y, Qt::ControlModifier); // nothing to redo
    QTest::keyClick(&frame(), Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(model.fieldCount, 2);
    // すべて選択, then one Del for both.
    canvas.clearSelection();
    QTest::keyClick(&frame(), Qt::Key_A, Qt::ControlModifier);
    EXPECT_EQ(canvas.selection().size(), 2);
    QTest::keyClick(&frame(), Qt::Key_Delete);
    EXPECT_EQ(model.fieldCount, 0);
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ShellFixture, ToolButtonsSwitchTheCanvasAndShowTheActiveOnePressed) {
    startFrame();
    const struct {
        const char* tooltip;
        int mode;
    } rows[] = {{"フィールド", 11},
                {"直線", 21},
                {"四角形", 22},
                {"ビットマップ", 24},
                {"バーコード", 25},
                {"範囲選択", 1},
                // A second click on the pressed button keeps it pressed.
                {"範囲選択", 1}};
    for (const auto& row : rows) {
        QAbstractButton* pressed = button(QString::fromUtf8(row.tooltip));
        ASSERT_TRUE(pressed);
        QTest::mouseClick(pressed, Qt::LeftButton);
        EXPECT_EQ(frame().canvas().toolMode(), row.mode) << row.tooltip;
        for (QAction* tool : frame().partsPalette()->actions()) {
            if (tool->isCheckable()) {
                EXPECT_EQ(tool->isChecked(), tool->toolTip() == QString::fromUtf8(row.tooltip))
                    << row.tooltip;
            }
        }
    }
    // The canvas changing its mode by itself moves the pressed button too.
    frame().canvas().setToolMode(21);
    EXPECT_TRUE(button("直線")->isChecked());
    EXPECT_FALSE(button("範囲選択")->isChecked());
    // The form sheet is a command, not a tool: it never stays pressed.
    EXPECT_FALSE(button("帳票情報")->isCheckable());
}

TEST_F(ShellFixture, ViewMenuHidesAndShowsTheBarsWithCheckMarks) {
    startFrame();
    const struct {
        const char* item;
        QWidget* bar;
    } rows[] = {{"ツールバー(&T)", frame().toolbar()},
                {"ステータスバー(&S)", frame().statusBar()},
                {"部品パレット(&P)", frame().partsPalette()}};
    for (const auto& row : rows) {
        const QString item = QString::fromUtf8(row.item);
        for (bool visibleAfter : {false, true}) {
            chooseMenuItem("表示(&V)", item);
            EXPECT_EQ(row.bar->isVisible(), visibleAfter) << row.item;
            EXPECT_EQ(itemOf(*menu("表示(&V)"), item)->isChecked(), visibleAfter) << row.item;
        }
    }
}

TEST_F(ShellFixture, KeysReachTheFileCommandsOfTheCanvas) {
    startFrame();
    const QString form = exampleCopy();
    ui.openAnswers.push_back(form);
    QTest::keyClick(&frame(), Qt::Key_O, Qt::ControlModifier);
    ASSERT_EQ(ui.openFolders.size(), 1);
    EXPECT_NE(frame().windowTitle(), QStringLiteral("Tabrik [新規帳票][*]"));
    EXPECT_TRUE(frame().windowTitle().startsWith("Tabrik ["));

    modifyForm();
    ui.questionAnswers.push_back(editor::SaveAnswer::No);
    QTest::keyClick(&frame(), Qt::Key_N, Qt::ControlModifier);
    EXPECT_EQ(ui.questions, 1);
    EXPECT_EQ(frame().windowTitle(), QStringLiteral("Tabrik [新規帳票][*]"));

    // An unnamed form asks where to save, starting in the folder last used.
    QTest::keyClick(&frame(), Qt::Key_S, Qt::ControlModifier);
    ASSERT_EQ(ui.saveFolders.size(), 1);
    EXPECT_EQ(QDir(ui.saveFolders.first()), QDir(folderPath()));
    EXPECT_TRUE(messages.messages.empty());
}

TEST_F(ShellFixture, ClosingAsksTheCanvasAndWritesSettingsOnlyWhenAllowed) {
    startFrame();
    modifyForm();
    ui.questionAnswers.push_back(editor::SaveAnswer::Cancel);
    EXPECT_FALSE(frame().close());
    EXPECT_TRUE(frame().isVisible());
    EXPECT_FALSE(QFile::exists(settingsPath()));

    ui.questionAnswers.push_back(editor::SaveAnswer::No);
    // Exit from the File menu closes the frame as its close box does.
    chooseMenuItem("ファイル(&F)", "終了(&X)");
    EXPECT_FALSE(frame().isVisible());
    EXPECT_EQ(ui.questions, 2);
    const QByteArray written = settingsBytes();
    // Closed maximised: the next start is maximised again.
    EXPECT_TRUE(written.contains("left=-1\r\ntop=-1\r\nright=-1\r\nbottom=-1\r\n")) << written.toStdString();
}

TEST_F(ShellFixture, SettingsPlaceTheWindowAndReachTheCanvas) {
    const QString settings = "[Last Folder]\nfolder=/tmp/\n"
                             "[Last Window]\nleft=100\ntop=50\nright=900\nbottom=650\n"
                             "[Option]\nModeKeep=1\nUpdateMove=1\n";
    startFrame(settings);
    EXPECT_FALSE(frame().isMaximized());
    EXPECT_EQ(frame().pos(), QPoint(100, 50));
    EXPECT_EQ(frame().size(), QSize(800, 600));
    EXPECT_TRUE(frame().canvas().modeKeep());
    EXPECT_TRUE(frame().canvas().updateMove());
    EXPECT_EQ(frame().canvas().document().lastFolder(), QStringLiteral("/tmp/"));
    ASSERT_TRUE(frame().close());
    EXPECT_EQ(settingsBytes(), QString(settings).replace("\n", "\r\n").toLatin1());
}

TEST_F(ShellFixture, ButtonsAreFoundByTheirTooltipTexts) {
    startFrame();
    for (QToolBar* bar : {frame().toolbar(), frame().partsPalette()}) {
        for (QAction* action : bar->actions()) {
            if (action->isSeparator())
                continue;
            QAccessibleInterface* button =
                QAccessible::queryAccessibleInterface(bar->widgetForAction(action));
            ASSERT_TRUE(button);
            const QString tooltip = editor::commandInfo(Command(action->data().toInt())).tooltip.data();
            EXPECT_EQ(button->text(QAccessible::Name), tooltip);
            EXPECT_EQ(bool(button->state().checkable), action->isCheckable()) << tooltip.toStdString();
            EXPECT_EQ(bool(button->state().checked), action->isChecked()) << tooltip.toStdString();
        }
    }
    // A screen reader's toggle on a tool button selects that tool.
    QAccessibleInterface* line = QAccessible::queryAccessibleInterface(button("直線"));
    ASSERT_TRUE(line && line->actionInterface());
    line->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_EQ(frame().canvas().toolMode(), 21);
    EXPECT_FALSE(button("範囲選択")->isChecked());
    // Toggling the pressed one off leaves it pressed: a tool is always chosen.
    line->actionInterface()->doAction(QAccessibleActionInterface::toggleAction());
    EXPECT_TRUE(button("直線")->isChecked());
    EXPECT_EQ(frame().canvas().toolMode(), 21);
}

TEST_F(ShellFixture, AboutButtonShowsTheVersionAndOkClosesIt) {
    startFrame();
    QStringList seen;
    QTimer::singleShot(0, [&seen] {
        auto* box = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!box)
            return;
        seen << box->windowTitle();
        for (QLabel* label : box->findChildren<QLabel*>())
            seen << label->text();
        for (QAbstractButton* ok : box->findChildren<QAbstractButton*>())
            QTest::mouseClick(ok, Qt::LeftButton);
    });
    QTest::mouseClick(button("バージョン情報"), Qt::LeftButton);
    EXPECT_TRUE(seen.contains("Tabrik")) << seen.join('|').toStdString();
    EXPECT_TRUE(seen.contains(editor::AboutBox::versionText()));
    EXPECT_EQ(QApplication::activeModalWidget(), nullptr);
}

TEST_F(ShellFixture, PointingAtAButtonShowsItsPromptUntilThePointerLeaves) {
    startFrame();
    QStatusBar* status = frame().statusBar();
    QAbstractButton* save = button("保存");
    QTest::mouseMove(save);
    EXPECT_TRUE(QTest::qWaitFor([status] { return status->currentMessage() == "帳票パラメータを保存する"; }))
        << status->currentMessage().toStdString();
    QTest::mouseMove(frame().canvas().viewport());
    EXPECT_TRUE(QTest::qWaitFor([status] { return status->currentMessage().isEmpty(); }));
    // With the prompt gone, the message pane's idle text shows again.
    EXPECT_TRUE(status->findChild<QLabel*>("messagePane")->isVisible());
}

TEST(DesignerStartup, StandardButtonsSpeakJapanese) {
    ASSERT_TRUE(editor::DesignerStartup::installJapaneseTranslations(*qApp));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "&Yes"), QStringLiteral("はい(&Y)"));
    EXPECT_EQ(QCoreApplication::translate("QPlatformTheme", "Cancel"), QStringLiteral("キャンセル"));
}

TEST_F(ShellFixture, ADoubleClickedItemIsEditedInItsSheetAndTheChangeCanBeUndone) {
    startFrame();
    editor::FormCanvas& canvas = frame().canvas();
    const formdesc::FormModel& model = canvas.document().model();
    testsupport::CanvasDriver mouse(canvas);
    QTest::mouseClick(button("フィールド"), Qt::LeftButton);
    mouse.drag(mouse.at(3, 3), mouse.at(12, 3));
    ASSERT_EQ(model.fieldCount, 1);

    // The sheet opens modally: type a new start row and press OK.
    QString title;
    QTimer::singleShot(0, [&title] {
        auto* sheet = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!sheet)
            return;
        title = sheet->windowTitle();
        auto* box = sheet->findChild<QDialogButtonBox*>();
        const auto typeRow = [sheet](const char* row) {
            for (QLineEdit* edit : sheet->findChildren<QLineEdit*>())
                if (edit->accessibleName() == "開始行") {
                    edit->selectAll();
                    QTest::keyClicks(edit, row);
                }
        };
        // Applied first, then changed again: two stores, two steps to undo.
        typeRow("7");
        QTest::mouseClick(static_cast<QWidget*>(box->button(QDialogButtonBox::Apply)), Qt::LeftButton);
        typeRow("8");
        QTest::mouseClick(static_cast<QWidget*>(box->button(QDialogButtonBox::Ok)), Qt::LeftButton);
    });
    mouse.doubleClick(mouse.at(5, 3));
    EXPECT_EQ(title, QStringLiteral("フィールドの詳細"));
    EXPECT_EQ(model.fields[0].startRow, 8);
    EXPECT_EQ(model.fields[0].endRow, 8);
    // The selection follows the record: its marks are on row 8.
    EXPECT_EQ(canvas.selection().entries()[0].cells.row1, 8);

    chooseMenuItem("編集(&E)", "元に戻す(&U)");
    EXPECT_EQ(model.fields[0].startRow, 7);
    chooseMenuItem("編集(&E)", "元に戻す(&U)");
    EXPECT_EQ(model.fields[0].startRow, 3);
    EXPECT_TRUE(messages.messages.empty());
}
