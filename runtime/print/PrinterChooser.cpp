#include "runtime/print/PrinterChooser.h"

#include "platform/PdfDirectTarget.h"
#include "platform/PrinterPageTarget.h"
#include "runtime/print/OwnerWindow.h"

#include <QApplication>
#include <QFile>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

namespace runtime {

namespace {

ChosenTarget noDevice(std::string reason) {
    ChosenTarget chosen;
    chosen.failure = kPrintNoDevice;
    chosen.reason = std::move(reason);
    return chosen;
}

// Resolution of a PDF chosen in the print dialog: zrk print --pdf's.
constexpr int kPdfDpi = 600;

// A print dialog, not a print-setup dialog: all pages, no page numbers, no
// selection. Printing to a PDF file is offered as on every Linux desktop,
// also when there is no printer at all.
std::unique_ptr<QPrinter> askUser(const PrinterRoad& road) {
    auto printer = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(printer.get(), road.dialogParent);
    dialog.setOptions(QAbstractPrintDialog::PrintToFile | QAbstractPrintDialog::PrintShowPageSize);
    dialog.setPrintRange(QAbstractPrintDialog::AllPages);
    if (road.owner && !road.dialogParent)
        road.owner->adopt(dialog);
    if (dialog.exec() != QDialog::Accepted)
        return nullptr;
    return printer;
}

} // namespace

TargetChooser printerChooser(PrinterRoad road) {
    return [road](const formdesc::FormInfo& form, const formdesc::PageSizeTenths& pageSize,
                  const ControlOptions& options) -> ChosenTarget {
        // A caller's bare QCoreApplication cannot paint (and a second
        // application object cannot be made next to it).
        if (!qobject_cast<QApplication*>(QCoreApplication::instance()))
            return noDevice("printing needs a QApplication, and the calling program has a non-GUI one");
        std::unique_ptr<QPrinter> printer;
        if (!road.queue.empty()) {
            const QPrinterInfo info = QPrinterInfo::printerInfo(QString::fromStdString(road.queue));
            if (info.isNull())
                return noDevice("there is no printer named " + road.queue);
            printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        } else if (options.printsOnDefault() || !road.dialogAllowed) {
            const QPrinterInfo info = QPrinterInfo::defaultPrinter();
            if (info.isNull())
                return noDevice("there is no default printer");
            printer = std::make_unique<QPrinter>(info, QPrinter::HighResolution);
        } else {
            printer = askUser(road);
            if (!printer) {
                ChosenTarget cancelled;
                cancelled.failure = kPrintCancelled;
                return cancelled;
            }
            // A file chosen in the dialog is written by our own PDF writer
            // (embedded fonts, the form's page), as zrk print --pdf writes it.
            if (printer->outputFormat() == QPrinter::PdfFormat && !printer->outputFileName().isEmpty()) {
                ChosenTarget chosen;
                chosen.target = std::make_unique<platform::PdfDirectTarget>(
                    QFile::encodeName(printer->outputFileName()).toStdString(),
                    platform::PaperTenths{pageSize.width, pageSize.height}, kPdfDpi);
                return chosen;
            }
        }
        if (!printer->isValid() || printer->outputFormat() != QPrinter::NativeFormat)
            return noDevice("the printer " + printer->printerName().toStdString() + " cannot be used");
        auto target = std::make_unique<platform::PrinterPageTarget>(std::move(printer), form.direction);
        target->setReceipt(road.receipt);
        ChosenTarget chosen;
        chosen.target = std::move(target);
        return chosen;
    };
}

} // namespace runtime
