#pragma once

// The design and entry sheets written to a PDF file without a window, for
// scripts:
//   tabrik --design-sheet FORM --pdf OUT [--portrait] [--paper A4|B4]
//   tabrik --entry-sheet --pdf OUT [--portrait] [--paper A4|B4]
// or on a CUPS queue with --printer NAME instead of --pdf OUT (the printer's
// paper if it is B4, else A4).
// The design sheet's kind follows the form as the dialog chooses it, unless
// --portrait asks for the portrait sheet. Exit status 0 when written, 1 when
// the form cannot be read, does not fit or the output cannot be written, 2
// for usage errors; messages in Japanese on standard error.
namespace editor {

class SheetCommand {
  public:
    static constexpr int kExitFailed = 1;
    static constexpr int kExitUsage = 2;

    // True when the arguments ask for a sheet.
    static bool requested(int argc, char** argv);
    // Runs it, with an application object of its own when none exists.
    static int run(int argc, char** argv);
};

} // namespace editor
