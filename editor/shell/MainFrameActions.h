#pragma once

#include "editor/shell/ShellCommands.h"

#include <QObject>

#include <map>
#include <vector>

class QAction;

// One QAction per command of the table, with its menu text, status-bar
// prompt, tooltip, picture and keys. Commands that arrive with later parts of
// the designer are present and disabled. The tool actions are checkable; the
// frame keeps their checks in step with the canvas's tool mode.
namespace editor {

class MainFrameActions : public QObject {
    Q_OBJECT

  public:
    explicit MainFrameActions(QObject* parent);

    QAction* action(Command id) const;
    // The tool commands of the parts palette (those with a tool mode).
    std::vector<QAction*> toolActions() const;
    // Checks the tool action of the given mode and clears the others.
    void showToolMode(int mode);

  signals:
    // A tool button or key asked for this tool mode.
    void toolModeRequested(int mode);

  private:
    std::map<Command, QAction*> m_actions;
    int m_shownMode = 0;
};

} // namespace editor
