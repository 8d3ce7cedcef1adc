#pragma once

#include <filesystem>
#include <memory>
#include <string>

#include "editor/papers/SheetPrinter.h"

class QPrinter;

// Where a design or entry sheet goes: a CUPS queue through Qt's printer, or
// a PDF file (named directly, or chosen as "print to file" in the print
// dialog). The paper is A4 or B4, whatever else was chosen, and the
// orientation follows the kind.
namespace editor {

struct SheetRequest {
    // The form drawn on a design sheet; null prints the entry sheet.
    const formdesc::FormModel* model = nullptr;
    SheetSettings settings;
    // Where relative bitmap paths of the form are looked up.
    std::filesystem::path formFolder;
};

enum class SheetOutcome {
    Printed,
    CannotOpen,  // no usable printer or output
    CannotStart, // the document could not be started
    Unfinished,  // the output could not be completed
};

class SheetOutput {
  public:
    // Resolution of a PDF written directly.
    static constexpr int kPdfDpi = 600;

    // The paper of a printer as the sheets take it (B4 stays, anything else
    // becomes A4); the printer is set to it.
    static int forceSheetPaper(QPrinter& printer);

    // Prints on the printer: its queue, or the PDF file it was told to
    // write. error receives the output system's words on a failure.
    static SheetOutcome print(std::unique_ptr<QPrinter> printer, const SheetRequest& request,
                              std::string& error);
    // Writes one PDF page on A4 or B4 (dmPaperSize as in print).
    static SheetOutcome writePdf(const std::string& path, int dmPaperSize, const SheetRequest& request,
                                 std::string& error);

    // What the user is told after a failure: the sheet could not be printed
    // (no output), or the printer could not be used (the document failed).
    static std::string failureText(SheetOutcome outcome, bool designSheet);
};

} // namespace editor
