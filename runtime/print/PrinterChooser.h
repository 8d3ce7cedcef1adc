#pragma once

#include "runtime/print/PPModule.h"

#include <string>

class QWidget;

namespace platform {
struct SpoolReceipt;
}

// How a print job gets its printer: a CUPS queue named by the caller, the
// default queue (PRINTER=Default, or nobody to ask), or the print dialog.
namespace runtime {

class OwnerWindow;

struct PrinterRoad {
    // A queue named on the command line: printed on without a dialog.
    std::string queue;
    // Someone can answer the print dialog. Without a display nobody can, and
    // the default queue is taken instead.
    bool dialogAllowed = false;
    // The dialog is kept above this window; may be null.
    const OwnerWindow* owner = nullptr;
    // A window of this process that owns the dialog (the preview); may be null.
    QWidget* dialogParent = nullptr;
    // Filled in with the spooler's job once the document is handed over; may be null.
    platform::SpoolReceipt* receipt = nullptr;
};

// The chooser for PPModule::run. A missing queue or no default queue is
// kPrintNoDevice with the reason; a cancelled dialog is kPrintCancelled.
TargetChooser printerChooser(PrinterRoad road);

} // namespace runtime
