#include "editor/papers/SheetPrinterAccess.h"

#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace editor {

SheetPrinterAccess SheetPrinterAccess::system() {
    SheetPrinterAccess access;
    access.defaultQueue = [] { return QPrinterInfo::defaultPrinterName(); };
    access.printerFor = [](const QString& queue) -> std::unique_ptr<QPrinter> {
        const QPrinterInfo info = QPrinterInfo::printerInfo(queue);
        if (queue.isEmpty() || info.isNull())
            return nullptr;
        return std::make_unique<QPrinter>(info, QPrinter::HighResolution);
    };
    // A print dialog, not a page setup: no page range, no selection; a PDF
    // file may be chosen instead of a queue.
    access.choosePrinter = [](QPrinter& printer, QWidget* parent) {
        QPrintDialog dialog(&printer, parent);
        dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
        dialog.setPrintRange(QAbstractPrintDialog::AllPages);
        return dialog.exec() == QDialog::Accepted;
    };
    return access;
}

} // namespace editor
