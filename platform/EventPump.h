#pragma once

// Long loops over data files call this before every line so that windows
// (the abort dialog, the preview, the caller's own) stay responsive.
namespace platform {

// Processes pending events at most every 20 ms; between those times a call
// costs a counter increment, and a clock read every 256 calls. Does nothing
// without a QCoreApplication.
void pumpPendingEvents();

} // namespace platform
