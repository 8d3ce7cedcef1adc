#pragma once

#include "editor/document/DesignerSettings.h"
#include "editor/document/RuntimeBridge.h"

#include <QMainWindow>

#include <functional>
#include <memory>

// The designer's main window: the canvas as its only client, the menus, the
// toolbar, the parts palette, the edit palette and the status bar around it.
// Every file, view and tool command goes to the canvas, which is also the
// open form. The settings are read when the frame is made (before its window
// exists) and written when it closes, after the canvas agreed to close.
namespace editor {

class DocumentUi;
class EditPalette;
class FormCanvas;
class MainFrameActions;
class MainFrameBars;
enum class Command;

class CMainFrame : public QMainWindow {
    Q_OBJECT

  public:
    CMainFrame(DocumentUi& ui, const QString& settingsPath, QWidget* parent = nullptr);
    ~CMainFrame() override;

    FormCanvas& canvas() const { return *m_canvas; }
    const DesignerSettings& settings() const { return m_settings; }
    QAction* action(Command id) const;
    QToolBar* toolbar() const;
    QToolBar* partsPalette() const;
    EditPalette* editPalette() const { return m_editPalette; }

    // Shows the window as the settings say: maximised when they hold no
    // complete window rectangle or one that does not fit the available
    // screen area, otherwise at the stored place and size.
    void showAsSettingsSay();

    // Runs a preview or a print of the runtime. The runtime pumps events
    // while it works: meanwhile the frame takes no commands, a second job is
    // not started, and a close request waits for the job to end.
    void runRuntimeJob(RuntimeMode mode);
    bool runtimeJobRunning() const { return m_jobRunning; }
    // Replaces the job (the canvas's preview or print) for tests.
    void setRuntimeJob(std::function<void(RuntimeMode)> job) { m_job = std::move(job); }

  protected:
    void closeEvent(QCloseEvent* event) override;
    void focusInEvent(QFocusEvent* event) override;

  private:
    void connectCommands();
    // The "設定" dialog; OK applies its options to the canvas and the settings.
    void chooseOptions();
    void toggleBar(QWidget* bar);
    void refreshViewChecks();
    void writeSettings();

    QString m_settingsPath;
    DesignerSettings m_settings;
    bool m_startMaximized = true;
    std::function<void(RuntimeMode)> m_job;
    bool m_jobRunning = false;
    bool m_closeAfterJob = false;
    FormCanvas* m_canvas = nullptr;
    MainFrameActions* m_actions = nullptr;
    EditPalette* m_editPalette = nullptr;
    std::unique_ptr<MainFrameBars> m_bars;
};

} // namespace editor
