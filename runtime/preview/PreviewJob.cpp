#include "runtime/preview/PreviewJob.h"

#include <QApplication>
#include <QScreen>

#include "formdesc/MessageSink.h"
#include "platform/ApplicationGuard.h"
#include "platform/QtMessageSink.h"
#include "runtime/data/RuntimeMessages.h"
#include "runtime/preview/PreviewDialog.h"
#include "runtime/preview/PreviewPages.h"
#include "runtime/preview/WindowPlacement.h"
#include "runtime/print/OwnerMessageSink.h"
#include "runtime/print/OwnerWindow.h"
#include "runtime/print/PrinterChooser.h"

#include <new>

namespace runtime {

namespace {

// The window's first place: its frame on the available area of the screen,
// less 10 pixels at the left, top and right, and 30 at the bottom.
QRect previewFrameRect(const QScreen* screen) {
    if (!screen)
        return {10, 10, 620, 440};
    return screen->availableGeometry().adjusted(10, 10, -10, -30);
}

} // namespace

PreviewJob::PreviewJob(std::string formPath, std::string dataPath, const char* control)
    : m_formPath(std::move(formPath)), m_dataPath(std::move(dataPath)), m_control(control ? control : ""),
      m_hasControl(control != nullptr) {}

int PreviewJob::run() {
    PreviewPages pages(m_formPath, m_dataPath, m_hasControl ? m_control.c_str() : nullptr);
    pages.setCallerOptions(m_caller);
    if (!pages.readForm())
        return kViewFormFailed;
    if (!pages.loadFirstPage()) {
        pages.reportReplacements();
        return kViewDataFailed;
    }
    const int result = showPages(pages);
    pages.reportReplacements();
    return result;
}

int PreviewJob::showPages(PreviewPages& pages) {
    // A top-level window of its own, modal for the caller's windows, which
    // still repaint while it is open.
    PreviewDialog dialog(pages, m_printChooser);
    // Printing from the preview: the print dialog belongs to the preview window.
    if (!m_printChooser)
        dialog.setPrintChooser(previewPrintChooser(&dialog));
    dialog.setWindowModality(Qt::ApplicationModal);
    QScreen* screen = m_screen ? m_screen : QGuiApplication::primaryScreen();
    WindowPlacement::placeByFrame(dialog, previewFrameRect(screen));
    // The index is built before the window is first shown; when that fails
    // (its message shown) the window never appears.
    if (!dialog.buildPageIndex())
        return kViewDone;
    if (m_shown)
        m_shown(dialog);
    dialog.exec();
    return kViewDone;
}

bool previewDisplayAvailable() {
    return platform::QtMessageSink::canShowWindows() && QGuiApplication::primaryScreen() != nullptr;
}

TargetChooser previewPrintChooser(QWidget* dialogParent) {
    PrinterRoad road;
    road.dialogAllowed = true;
    road.dialogParent = dialogParent;
    return printerChooser(road);
}

int runPreviewJob(std::uintptr_t owner, const char* formPath, const char* dataPath, const char* control,
                  const CallerOptions& caller) {
    platform::ApplicationGuard application;
    const OwnerWindow ownerWindow(owner);
    OwnerMessageSink sink(ownerWindow);
    const formdesc::ScopedMessageSink scopedSink(sink);

    if (!previewDisplayAvailable()) {
        formdesc::messageSink().show(formdesc::kCaptionError, kNoDisplayText,
                                     formdesc::MessageIcon::Exclamation);
        return kViewNoDisplay;
    }
    try {
        PreviewJob job(formPath ? formPath : "", dataPath ? dataPath : "", control);
        job.setCallerOptions(caller);
        job.setScreen(WindowPlacement::screenOfWindowAt(ownerWindow.globalGeometry()));
        return job.run();
    } catch (const std::bad_alloc&) {
        // The window and the pages went with the unwinding.
        reportNoMemory();
        return kViewNoDisplay;
    }
}

} // namespace runtime
