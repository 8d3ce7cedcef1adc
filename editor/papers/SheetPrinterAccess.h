#pragma once

#include <QString>

#include <functional>
#include <memory>

class QPrinter;
class QWidget;

// What the sheet dialogs ask of the print system: the default queue, a
// printer for a queue, and the print dialog. Tests put their own in place,
// so that no print server is needed and nothing blocks.
namespace editor {

struct SheetPrinterAccess {
    // The default queue's name; empty when there is none.
    std::function<QString()> defaultQueue;
    // A printer on the named queue; null when there is no such queue.
    std::function<std::unique_ptr<QPrinter>(const QString& queue)> printerFor;
    // Runs the print dialog on the printer; true when the user confirmed.
    std::function<bool(QPrinter& printer, QWidget* parent)> choosePrinter;

    // CUPS through Qt, and Qt's print dialog (printing to a file allowed).
    static SheetPrinterAccess system();
};

} // namespace editor
