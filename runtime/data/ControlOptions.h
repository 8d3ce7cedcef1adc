#pragma once

#include <climits>
#include <optional>
#include <string>
#include <string_view>

#include "runtime/data/DataEncoding.h"
#include "runtime/data/DataFormat.h"

// The options of a job, taken from the control statement the caller passes,
// e.g. "CONTROL CANCEL=ON, PRINTER=Default;".
namespace runtime {

// The preview's zoom limits in percent, for SCALE and for every zoom the
// window offers.
inline constexpr int kMinZoom = 50;
inline constexpr int kMaxZoom = 500;

enum class PrintRequest {
    None,          // preview only
    PrintAndKeep,  // PRINT=ON: print once the first page shows, keep the preview
    PrintAndClose, // PRINT=ONLY: print, then close the preview
};

struct ControlOptions {
    static constexpr int kDefaultScale = 100;

    bool cancel = false;                     // print: show the abort dialog
    std::string printer;                     // print: as written, upper-cased
    int lastRow = 0;                         // both: last row of figures on the last page; <= 0 has no effect
    PrintRequest print = PrintRequest::None; // preview
    bool scaleAuto = false;                  // preview: start with the whole-page zoom
    int scale = kDefaultScale;               // preview: start zoom in percent, settled into 50..500
    DataEncoding encoding = DataEncoding::ShiftJis; // both: how the data file is written
    bool encodingGiven = false;                     // the statement named ENCODING
    DataFormat dataFormat = DataFormat::Lines;      // both: FORMAT=CSV|JSON, records by name
    std::string groupBy;                            // both: GROUPBY, CSV records made one document
    int xOffset = 0;                                // print: the page moved right, tenths of a millimetre
    int yOffset = 0;                                // print: the page moved down, tenths of a millimetre
    // The first option whose value is refused (ENCODING, FORMAT, XOFFSET, YOFFSET);
    // empty when every value is good. A job with a refused value does not run.
    std::string refusedKey;

    // PRINTER=Default in any case: print on the default printer, no dialog.
    bool printsOnDefault() const;
};

// The largest print offset either way, in tenths of a millimetre.
inline constexpr int kMaxOffsetTenths = 500;

// Pages of a job, numbered from 1, both ends included. A print of a part
// keeps the whole job's page numbers and its last page (where the last-row
// rule applies), so that parts printed apart put together are the job.
struct PageRange {
    int first = 1;
    int last = INT_MAX;
};

// What a caller gives beside the control statement (the command line's own
// options); each one that is set wins over the statement.
struct CallerOptions {
    std::optional<DataEncoding> encoding;
    // The caller's own default, taken when neither encoding nor the statement names one.
    std::optional<DataEncoding> defaultEncoding;
    std::optional<int> xOffset; // tenths of a millimetre
    std::optional<int> yOffset;
    bool dataFromStandardInput = false;
    std::optional<DataFormat> dataFormat;
    std::optional<std::string> groupBy;
    std::optional<PageRange> pages; // print: only these pages of the job
    int threads = 1;                // print to files: pages drawn on this many threads
};

void applyCallerOptions(ControlOptions& options, const CallerOptions& caller);

// An offset in tenths of a millimetre as the control statement writes it:
// an optional sign and digits, within -500..500.
std::optional<int> parseOffsetTenths(std::string_view text);

// The zoom a SCALE value asks for: 0 means 100, anything else is kept within
// 50..500.
int settleScale(int percent);

// Reads the options from a control statement. The text is cut at the first
// "//" and at the first ';', trimmed, and upper-cased; without the word
// CONTROL (or for a null or empty string) every option keeps its default.
// Each option is the first occurrence of its name anywhere in the text, its
// value the trimmed text after the next '=' up to the next comma. ENCODING,
// XOFFSET and YOFFSET accept only their own values, and only once: the first
// of them whose value is not one of its own, or that two items of the
// statement set, is named in refusedKey.
ControlOptions parseControlOptions(std::string_view control);
ControlOptions parseControlOptions(const char* control);

} // namespace runtime
