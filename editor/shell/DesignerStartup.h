#pragma once

class QApplication;
class QWidget;

// Starting the designer: the application object with Qt's Japanese texts,
// the message boxes, the main frame made from the settings, the form named
// on the command line, and the event loop until the frame closes.
namespace editor {

class DesignerStartup {
  public:
    // Exit status when the window is asked for and no display answers.
    static constexpr int kExitNoDisplay = 1;
    static constexpr const char* kNoDisplayText =
        "デザイナの画面を表示できません（ディスプレイがありません）";

    // Runs the program; returns its exit status.
    static int run(int argc, char** argv);

    // Loads Qt's own Japanese translations (standard buttons, file and print
    // dialogs); false when they are not installed.
    static bool installJapaneseTranslations(QApplication& app);

    // Ends the event loop right after the widget's first paint, printing the
    // time since the program started: for start-up measurements
    // (TABRIK_QUIT_AFTER_FIRST_PAINT=1).
    static void quitAfterFirstPaint(QWidget& widget);
};

} // namespace editor
