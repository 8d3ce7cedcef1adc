#pragma once

#include <QObject>

// The Edit menu's commands on the canvas: undo, redo, cut, copy, paste,
// delete and select all, each but the last enabled only while it can do
// something.
namespace editor {

class FormCanvas;
class MainFrameActions;

class EditCommands : public QObject {
    Q_OBJECT

  public:
    EditCommands(const MainFrameActions& actions, FormCanvas& canvas, QObject* parent = nullptr);

    // Enables and disables the commands as the canvas stands now.
    void refresh();

  private:
    const MainFrameActions& m_actions;
    FormCanvas& m_canvas;
};

} // namespace editor
