#include "formdesc/MessageSink.h"

#include "formdesc/TerminalText.h"

#include <cstdio>

namespace formdesc {

namespace {
StderrMessageSink g_stderrSink;
MessageSink* g_sink = nullptr;
} // namespace

void StderrMessageSink::show(std::string_view caption, std::string_view text, MessageIcon) {
    // Texts from forms and paths may hold control characters; standard
    // error is often a terminal.
    std::string line = escapeControls(caption);
    line.append(": ").append(escapeControls(text)).push_back('\n');
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

void RecordingMessageSink::show(std::string_view caption, std::string_view text, MessageIcon icon) {
    messages.push_back({std::string(caption), std::string(text), icon});
}

MessageSink& messageSink() {
    return g_sink ? *g_sink : g_stderrSink;
}

void setMessageSink(MessageSink* sink) {
    g_sink = sink;
}

ScopedMessageSink::ScopedMessageSink(MessageSink& sink) : m_previous(g_sink) {
    g_sink = &sink;
}

ScopedMessageSink::~ScopedMessageSink() {
    g_sink = m_previous;
}

} // namespace formdesc
