#include "editor/shell/EditCommands.h"

#include "editor/canvas/FormCanvas.h"
#include "editor/shell/MainFrameActions.h"
#include "editor/shell/ShellCommands.h"

#include <QAction>

namespace editor {

EditCommands::EditCommands(const MainFrameActions& actions, FormCanvas& canvas, QObject* parent)
    : QObject(parent), m_actions(actions), m_canvas(canvas) {
    const auto on = [this](Command id, void (FormCanvas::*slot)()) {
        connect(m_actions.action(id), &QAction::triggered, &m_canvas, slot);
    };
    on(Command::Undo, &FormCanvas::undo);
    on(Command::Redo, &FormCanvas::redo);
    on(Command::Cut, &FormCanvas::cutSelection);
    on(Command::Copy, &FormCanvas::copySelection);
    on(Command::Paste, &FormCanvas::pasteItems);
    on(Command::Delete, &FormCanvas::deleteSelection);
    on(Command::SelectAll, &FormCanvas::selectAll);
    connect(&m_canvas, &FormCanvas::editStateChanged, this, &EditCommands::refresh);
    refresh();
}

void EditCommands::refresh() {
    const bool selected = m_canvas.hasSelection();
    m_actions.action(Command::Cut)->setEnabled(selected);
    m_actions.action(Command::Copy)->setEnabled(selected);
    m_actions.action(Command::Delete)->setEnabled(selected);
    m_actions.action(Command::Paste)->setEnabled(m_canvas.canPaste());
    m_actions.action(Command::Undo)->setEnabled(m_canvas.document().canUndo());
    m_actions.action(Command::Redo)->setEnabled(m_canvas.document().canRedo());
}

} // namespace editor
