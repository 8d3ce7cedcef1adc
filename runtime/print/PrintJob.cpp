#include "runtime/print/PrintJob.h"

#include "platform/ApplicationGuard.h"
#include "platform/QtMessageSink.h"
#include "runtime/print/AbortProgress.h"
#include "runtime/print/OwnerMessageSink.h"
#include "runtime/print/OwnerWindow.h"
#include "runtime/print/PPModule.h"
#include "runtime/print/PrinterChooser.h"

#include <QApplication>

#include <memory>
#include <string>

namespace runtime {

int runPrintJob(std::uintptr_t owner, const char* formPath, const char* dataPath, const char* control) {
    platform::ApplicationGuard application;
    const OwnerWindow ownerWindow(owner);
    OwnerMessageSink sink(ownerWindow);
    const formdesc::ScopedMessageSink scopedSink(sink);

    PPModule job(formPath ? formPath : "", dataPath ? dataPath : "", control);
    std::unique_ptr<AbortProgress> progress;
    if (job.options().cancel && qobject_cast<QApplication*>(QCoreApplication::instance()))
        progress = std::make_unique<AbortProgress>();
    PrinterRoad road;
    road.dialogAllowed = platform::QtMessageSink::canShowWindows();
    road.owner = &ownerWindow;
    return job.run(printerChooser(road), progress.get());
}

} // namespace runtime
