#pragma once

#include <string>

// Files that must not outlive the process when a signal ends it: a private
// copy of the data, the temporary file an output is written to. A program
// that runs one job at a time (the command line) installs the handlers; a
// file registered here is then removed (and its folder, when one is given and
// empty) when an interrupt, hang-up, termination, quit or broken pipe ends the
// process, which then ends as the signal would have ended it.
//
// The handler reads fixed storage only, so registering and releasing are
// safe at any moment; paths too long for that storage, or more files than it
// holds at once, simply are not removed on a signal.
namespace formdesc {

class SignalCleanup {
  public:
    static constexpr int kNoSlot = -1;

    // Registers a file (and optionally the folder that holds it); returns the
    // slot to release, or kNoSlot.
    static int add(const std::string& file, const std::string& folder = {});
    // The file is gone or kept by now: a signal no longer removes it.
    static void release(int slot);

    // Installs the handlers for SIGINT, SIGTERM, SIGHUP, SIGQUIT and SIGPIPE.
    // Signals that are not at their default action (ignored by the parent,
    // or handled by the program) are left alone.
    static void installHandlers();
};

} // namespace formdesc
