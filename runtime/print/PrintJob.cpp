#include "PrintJob.h"

#include "AbortProgress.h"
#include "ApplicationGuard.h"
#include "OwnerMessageSink.h"
#include "OwnerWindow.h"
#include "PPModule.h"
#include "PrinterChooser.h"
#include "QtMessageSink.h"

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
