#pragma once

#include <QString>
#include <QStringList>

// The designer's command line, read before any application object exists:
// --help and --version need no display, and a usage error is told before
// the program looks for one.
namespace editor {

class StartupArguments {
  public:
    enum class Action {
        OpenWindow, // the main window, with the form named, if any
        WriteSheet, // a design or entry sheet without a window (SheetCommand)
        ShowHelp,
        ShowVersion,
        UsageError, // errorText() says why
    };

    StartupArguments(int argc, char** argv);

    Action action() const { return m_action; }
    // The forms named for the window (the first one is opened).
    const QStringList& forms() const { return m_forms; }
    QString errorText() const { return m_error; }
    // True unless Qt is asked (-platform or QT_QPA_PLATFORM) for a platform
    // that draws without a display (offscreen, minimal, vnc, ...).
    bool needsDisplay() const;

    // Every option with its meaning, in Japanese.
    static QString helpText();

  private:
    Action m_action = Action::OpenWindow;
    QStringList m_forms;
    QString m_error;
    QString m_platform;
};

} // namespace editor
