#include "runtime/cli/TerminalProgress.h"

#include <algorithm>
#include <cstdio>

namespace zrkcli {

namespace {

constexpr auto kRedrawInterval = std::chrono::milliseconds(100);

std::string clockText(long long seconds) {
    char text[32];
    if (seconds >= 3600)
        std::snprintf(text, sizeof text, "%lld:%02lld:%02lld", seconds / 3600, seconds / 60 % 60,
                      seconds % 60);
    else
        std::snprintf(text, sizeof text, "%lld:%02lld", seconds / 60, seconds % 60);
    return text;
}

} // namespace

TerminalProgress::TerminalProgress(const runtime::PPModule& job, runtime::PrintProgress* inner,
                                   std::FILE* out)
    : m_job(job), m_inner(inner), m_out(out), m_messages(formdesc::messageSink()) {}

std::string TerminalProgress::line(int done, int total, Clock::duration elapsed) {
    const double seconds = std::chrono::duration<double>(elapsed).count();
    std::string text = "印刷中 " + std::to_string(done) + "/" + std::to_string(total) + " ページ";
    char figures[96];
    if (done > 0 && seconds > 0) {
        const double rate = done / seconds;
        const auto left = static_cast<long long>((total - done) / rate + 0.5);
        std::snprintf(figures, sizeof figures, "  %.1f ページ/秒  残り %s", rate, clockText(left).c_str());
    } else {
        std::snprintf(figures, sizeof figures, "  -- ページ/秒  残り --:--");
    }
    return text + figures;
}

void TerminalProgress::draw(int done, bool force) {
    const Clock::time_point now = Clock::now();
    if (!force && m_drawn && now - m_lastDraw < kRedrawInterval)
        return;
    m_lastDraw = now;
    m_drawn = true;
    std::string text = line(done, pagesToPrint(), now - m_start);
    const runtime::PageRange& part = m_job.pages();
    if (part.first > 1 || part.last < m_job.pageCount())
        text += "  （" + std::to_string(part.first) + "〜" +
                std::to_string(std::min(part.last, m_job.pageCount())) + " ページ目）";
    // Back to the start of the line and clear it: the new text may be shorter.
    std::fprintf(m_out, "\r%s\x1b[K", text.c_str());
    std::fflush(m_out);
}

int TerminalProgress::pagesToPrint() const {
    const runtime::PageRange& part = m_job.pages();
    return std::max(0, std::min(part.last, m_job.pageCount()) - part.first + 1);
}

void TerminalProgress::show(std::string_view caption, std::string_view text, formdesc::MessageIcon icon) {
    if (m_open && m_drawn) {
        std::fputs("\r\x1b[K", m_out);
        std::fflush(m_out);
        m_drawn = false; // back at the next page
    }
    m_messages.show(caption, text, icon);
}

void TerminalProgress::open() {
    m_start = Clock::now();
    m_open = true;
    if (m_inner)
        m_inner->open();
}

void TerminalProgress::showPage(int pageNumber) {
    draw(m_job.pagesPrinted(), false);
    if (m_inner)
        m_inner->showPage(pageNumber);
}

bool TerminalProgress::stopRequested() {
    return m_inner && m_inner->stopRequested();
}

void TerminalProgress::close() {
    if (m_inner)
        m_inner->close();
    if (!m_open)
        return;
    m_open = false;
    draw(m_job.pagesPrinted(), true);
    std::fputs("\n", m_out);
    std::fflush(m_out);
}

} // namespace zrkcli
