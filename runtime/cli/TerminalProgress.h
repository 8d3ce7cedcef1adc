#pragma once

#include "formdesc/MessageSink.h"
#include "runtime/print/PPModule.h"

#include <chrono>
#include <cstdio>
#include <string>

// Progress of a print job on a terminal: one line on standard error, redrawn
// in place at most ten times a second, with the pages done of the total, the
// pages a second and the time left; the last state stays when the job ends.
// For a part of the job (--pages) the pages are counted within the part, and
// the line names the part by the job's page numbers.
// Stop requests (the abort dialog) are passed through to an inner progress.
// Installed as the message sink while the job runs, it clears its line before
// a message, so that the message stands on a line of its own.
namespace zrkcli {

class TerminalProgress : public runtime::PrintProgress, public formdesc::MessageSink {
  public:
    using Clock = std::chrono::steady_clock;

    // job gives the page count once it is known; inner may be null.
    TerminalProgress(const runtime::PPModule& job, runtime::PrintProgress* inner, std::FILE* out = stderr);

    void open() override;
    void showPage(int pageNumber) override;
    bool stopRequested() override;
    void close() override;
    void show(std::string_view caption, std::string_view text, formdesc::MessageIcon icon) override;

    // The line for `done` of `total` pages after `elapsed`, e.g.
    // "印刷中  12/30 ページ  24.0 ページ/秒  残り 0:01".
    static std::string line(int done, int total, Clock::duration elapsed);

  private:
    void draw(int done, bool force);
    // The pages the job prints: the whole job, or the part of it asked for.
    int pagesToPrint() const;

    const runtime::PPModule& m_job;
    runtime::PrintProgress* m_inner;
    std::FILE* m_out;
    formdesc::MessageSink& m_messages; // the sink found at construction
    Clock::time_point m_start;
    Clock::time_point m_lastDraw;
    bool m_drawn = false;
    bool m_open = false;
};

} // namespace zrkcli
