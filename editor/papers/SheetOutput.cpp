#include "editor/papers/SheetOutput.h"

#include <QPageSize>
#include <QPrinter>

#include "editor/canvas/CanvasRenderer.h"
#include "platform/PdfDirectTarget.h"
#include "platform/PrinterPageTarget.h"
#include "render/BitmapCache.h"

namespace editor {

namespace {

SheetOutcome outcomeOf(SheetResult result) {
    switch (result) {
    case SheetResult::Printed:
        return SheetOutcome::Printed;
    case SheetResult::CannotStart:
        return SheetOutcome::CannotStart;
    case SheetResult::Unfinished:
        return SheetOutcome::Unfinished;
    }
    return SheetOutcome::Unfinished;
}

SheetOutcome printOnTarget(platform::PageTarget& target, int dmPaperSize, const SheetRequest& request,
                           std::string& error) {
    SheetPrinter printer(target, request.settings.kind, dmPaperSize);
    SheetResult result = SheetResult::Printed;
    if (request.model) {
        // A bitmap that cannot be read shows the placeholder, without a message.
        render::BitmapCache bitmaps(request.formFolder, render::BitmapCache::Failures::Silent);
        const QImage placeholder = CanvasRenderer::placeholderPicture();
        result = printer.printDesignSheet(*request.model, request.settings, bitmaps, &placeholder);
    } else {
        result = printer.printEntrySheet();
    }
    if (result != SheetResult::Printed)
        error = target.errorText();
    return outcomeOf(result);
}

platform::PaperTenths paperOf(int kind, int dmPaperSize) {
    const platform::Size paper = SheetLayout::make(kind, dmPaperSize, 1, 1).paperTenths();
    return {paper.cx, paper.cy};
}

} // namespace

int SheetOutput::forceSheetPaper(QPrinter& printer) {
    const int code =
        SheetLayout::sheetPaper(platform::PrinterPageTarget::dmPaperCode(printer.pageLayout().pageSize()));
    printer.setPageSize(QPageSize(code == kSheetPaperB4 ? QPageSize::JisB4 : QPageSize::A4));
    return code;
}

SheetOutcome SheetOutput::print(std::unique_ptr<QPrinter> printer, const SheetRequest& request,
                                std::string& error) {
    if (!printer) {
        error = "no printer";
        return SheetOutcome::CannotOpen;
    }
    const int paper = forceSheetPaper(*printer);
    // "Print to file" in the print dialog: the PDF is written by our own writer.
    if (printer->outputFormat() == QPrinter::PdfFormat) {
        const std::string path = printer->outputFileName().toStdString();
        if (path.empty()) {
            error = "no output file";
            return SheetOutcome::CannotOpen;
        }
        return writePdf(path, paper, request, error);
    }
    if (!printer->isValid()) {
        error = "the printer " + printer->printerName().toStdString() + " is not available";
        return SheetOutcome::CannotOpen;
    }
    const int direction =
        request.settings.kind == kSheetPortrait ? formdesc::kPortrait : formdesc::kLandscape;
    // The target turns the paper to the direction and sets the margins last.
    platform::PrinterPageTarget target(std::move(printer), direction);
    return printOnTarget(target, paper, request, error);
}

SheetOutcome SheetOutput::writePdf(const std::string& path, int dmPaperSize, const SheetRequest& request,
                                   std::string& error) {
    const int paper = SheetLayout::sheetPaper(dmPaperSize);
    platform::PdfDirectTarget target(path, paperOf(request.settings.kind, paper), kPdfDpi);
    // A file that cannot be written is an output that cannot be had, not a
    // printer that refused: the sheet's own failure.
    const SheetOutcome outcome = printOnTarget(target, paper, request, error);
    return outcome == SheetOutcome::Printed ? outcome : SheetOutcome::CannotOpen;
}

std::string SheetOutput::failureText(SheetOutcome outcome, bool designSheet) {
    switch (outcome) {
    case SheetOutcome::Printed:
        return {};
    case SheetOutcome::CannotOpen:
        return designSheet ? "設計用紙の印刷に失敗しました" : "記入用紙の印刷に失敗しました";
    case SheetOutcome::CannotStart:
    case SheetOutcome::Unfinished:
        break;
    }
    return "プリンタが使用できません";
}

} // namespace editor
