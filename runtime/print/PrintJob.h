#pragma once

#include <cstdint>

// One call of the library's print entry point: everything a caller from
// outside needs around a PPModule. An application object when the caller has
// none, message boxes kept above the caller's window (standard error without
// a display), the printer from the control statement or the print dialog,
// the abort dialog when CANCEL=ON. Nothing outlives the call.
namespace runtime {

// owner: the caller's native window id, 0 for none. The paths and the
// control statement are copied whole; any of them may be null (a null path
// names no file, a null control leaves every option at its default).
// Returns a PrintResult.
int runPrintJob(std::uintptr_t owner, const char* formPath, const char* dataPath, const char* control);

} // namespace runtime
