#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "runtime/print/PPModule.h"

class QScreen;
class QWidget;

// The preview job behind ZRK_View: reads the form, loads page 1, opens the
// preview window sized to the desktop of the owner's screen, indexes the data file's pages and
// waits until the window is closed.
namespace runtime {

class PreviewDialog;
class PreviewPages;

// Result codes of a preview job.
enum ViewResult : int {
    kViewDone = 0,        // shown and closed (or the page index failed after the window existed)
    kViewFormFailed = -1, // the form file cannot be opened or fails the check (its message shown)
    kViewDataFailed = -2, // the data file cannot be opened or is empty ("帳票データがオープンできません")
    kViewNoDisplay = -3, // there is no display to show the window on (a message says so)
};

// The message shown when the preview cannot be shown for want of a display.
inline constexpr const char* kNoDisplayText = "プレビューを表示できません（ディスプレイがありません）";

class PreviewJob {
  public:
    // control may be null. Messages go to the installed message sink.
    PreviewJob(std::string formPath, std::string dataPath, const char* control);

    // Where "印刷" prints. Without one, it asks the print dialog, which
    // belongs to the preview window.
    void setPrintChooser(TargetChooser chooser) { m_printChooser = std::move(chooser); }
    // Called with the window once it exists and its pages are indexed, just
    // before the modal loop (tests drive the window from here).
    void setShownHandler(std::function<void(PreviewDialog&)> handler) { m_shown = std::move(handler); }
    // The command line's own options.
    void setCallerOptions(const CallerOptions& caller) { m_caller = caller; }
    // The screen the window opens on (the owner's); the primary screen
    // without one.
    void setScreen(QScreen* screen) { m_screen = screen; }

    // Runs the job on the running QApplication and returns a ViewResult.
    // It does not look for a display; runPreviewJob does.
    int run();

  private:
    int showPages(PreviewPages& pages);

    std::string m_formPath;
    std::string m_dataPath;
    std::string m_control;
    bool m_hasControl;
    TargetChooser m_printChooser;
    std::function<void(PreviewDialog&)> m_shown;
    CallerOptions m_caller;
    QScreen* m_screen = nullptr;
};

// True when windows can be shown: a QApplication on a platform with a screen
// (neither the offscreen nor the minimal platform).
bool previewDisplayAvailable();

// ZRK_View's job. owner is the caller's native window id (0: none): the
// job's message boxes are kept above it. Creates the application object when
// the caller has none; without a display that answers shows kNoDisplayText
// and returns kViewNoDisplay, as it does after the memory message when the
// job runs out of memory. Null paths are taken as empty ones (no file opens).
int runPreviewJob(std::uintptr_t owner, const char* formPath, const char* dataPath, const char* control,
                  const CallerOptions& caller = {});

// The chooser "印刷" uses in runPreviewJob: the print dialog and the printer
// it returns.
TargetChooser previewPrintChooser(QWidget* dialogParent);

} // namespace runtime
