#pragma once

#include "editor/canvas/FormCanvas.h"
#include "editor/shell/CMainFrame.h"
#include "formdesc/MessageSink.h"
#include "tests/support/RecordingDocumentUi.h"
#include "tests/support/TempFolder.h"

#include <QAbstractButton>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QTest>
#include <QToolBar>

#include <gtest/gtest.h>

#include <memory>

// A main frame on its own settings file in a folder of its own, with the
// dialogs answered by the test and the messages recorded. The helpers act as
// a user does: mouse clicks on buttons and menus, keys on the focused window.
class ShellFixture : public testing::Test {
  protected:
    QString settingsPath() const { return folderPath() + "/tabrik.ini"; }
    QString folderPath() const { return QString::fromStdString(m_folder.path().string()); }

    // Settings text (CRLF added) written before the frame is made; none when empty.
    editor::CMainFrame& startFrame(const QString& settings = {}) {
        if (!settings.isEmpty()) {
            QFile file(settingsPath());
            EXPECT_TRUE(file.open(QIODevice::WriteOnly));
            file.write(QString(settings).replace("\n", "\r\n").toLatin1());
        }
        m_frame = std::make_unique<editor::CMainFrame>(ui, settingsPath());
        m_frame->showAsSettingsSay();
        EXPECT_TRUE(QTest::qWaitForWindowExposed(m_frame.get()));
        return *m_frame;
    }
    editor::CMainFrame& frame() { return *m_frame; }

    // A copy of the bundled example in the test's folder; returns its path.
    QString exampleCopy() {
        const QString copy = folderPath() + "/invoice.zrk";
        QFile::copy(QStringLiteral(ZRK_SOURCE_DIR "/examples/invoice.zrk"), copy);
        QFile::copy(QStringLiteral(ZRK_SOURCE_DIR "/examples/logo.bmp"), folderPath() + "/logo.bmp");
        return copy;
    }

    QAbstractButton* button(const QString& tooltip) {
        for (QToolBar* bar : {frame().toolbar(), frame().partsPalette()})
            for (QAction* action : bar->actions())
                if (action->toolTip() == tooltip)
                    return qobject_cast<QAbstractButton*>(bar->widgetForAction(action));
        ADD_FAILURE() << "no button " << tooltip.toStdString();
        return nullptr;
    }

    QMenu* menu(const QString& title) {
        for (QAction* action : frame().menuBar()->actions())
            if (action->text() == title)
                return action->menu();
        ADD_FAILURE() << "no menu " << title.toStdString();
        return nullptr;
    }

    // Opens the menu from the menu bar and clicks the item, both with the mouse.
    void chooseMenuItem(const QString& title, const QString& item) {
        QMenu* popup = menu(title);
        ASSERT_TRUE(popup);
        QMenuBar* bar = frame().menuBar();
        QTest::mouseClick(bar, Qt::LeftButton, {}, bar->actionGeometry(popup->menuAction()).center());
        ASSERT_TRUE(QTest::qWaitFor([popup] { return popup->isVisible(); }));
        QAction* target = itemOf(*popup, item);
        ASSERT_TRUE(target);
        QTest::mouseClick(popup, Qt::LeftButton, {}, popup->actionGeometry(target).center());
        QTest::qWait(1);
    }

    static QAction* itemOf(const QMenu& popup, const QString& text) {
        for (QAction* action : popup.actions())
            if (action->text() == text)
                return action;
        return nullptr;
    }

    QByteArray settingsBytes() const {
        QFile file(settingsPath());
        return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
    }

    // Makes the open form differ from its saved copy.
    void modifyForm() { frame().canvas().document().model().form.rows += 1; }

    RecordingDocumentUi ui;
    formdesc::RecordingMessageSink messages;

  private:
    TempFolder m_folder;
    formdesc::ScopedMessageSink m_sink{messages};
    std::unique_ptr<editor::CMainFrame> m_frame;
};
