#pragma once

#include "editor/shell/ShellCommands.h"

#include <QString>

class QLabel;
class QMainWindow;
class QMenuBar;
class QStatusBar;
class QToolBar;

// The bars around the canvas: the menu bar, the toolbar, the parts palette
// docked on the toolbar's row right after it, and the status bar with its
// message pane and key indicators. All start visible; the frame shows and
// hides them from the View menu.
namespace editor {

class MainFrameActions;

class MainFrameBars {
  public:
    MainFrameBars(QMainWindow& frame, const MainFrameActions& actions);

    QToolBar* toolbar() const { return m_toolbar; }
    QToolBar* partsPalette() const { return m_partsPalette; }
    QStatusBar* statusBar() const { return m_statusBar; }

    // The idle text of the message pane.
    static QString idleMessage();

  private:
    void buildMenus(QMenuBar& menuBar, const MainFrameActions& actions);
    QToolBar* buildToolBar(QMainWindow& frame, const QString& title, const QString& objectName,
                           std::span<const Command> buttons, const MainFrameActions& actions);
    void buildStatusBar(QMainWindow& frame);

    QToolBar* m_toolbar = nullptr;
    QToolBar* m_partsPalette = nullptr;
    QStatusBar* m_statusBar = nullptr;
};

} // namespace editor
