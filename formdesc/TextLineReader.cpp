#include "formdesc/TextLineReader.h"

#include <cerrno>

#include <unistd.h>

namespace formdesc {

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
}

TextLineReader::TextLineReader(std::string_view memory) : m_memory(memory) {}

TextLineReader::TextLineReader(int fd, long long maxBytes)
    : m_fd(fd), m_buffer(new char[kBlockSize]), m_limit(maxBytes) {}

TextLineReader::~TextLineReader() {
    if (m_fd >= 0)
        ::close(m_fd);
}

bool TextLineReader::fill() {
    if (m_begin < m_end)
        return true;
    if (m_fd < 0 || m_failed)
        return false;
    m_begin = m_end = 0;
    for (;;) {
        const ssize_t got = ::read(m_fd, m_buffer.get(), kBlockSize);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            m_failed = true;
            return false;
        }
        m_fetched += got;
        if (m_limit >= 0 && m_fetched > m_limit) {
            m_failed = true;
            return false;
        }
        m_end = static_cast<std::size_t>(got);
        return got > 0;
    }
}

int TextLineReader::peekByte() {
    if (m_fd < 0) {
        const auto offset = static_cast<std::size_t>(m_consumed);
        return offset < m_memory.size() ? static_cast<unsigned char>(m_memory[offset]) : -1;
    }
    if (!fill())
        return -1;
    return static_cast<unsigned char>(m_buffer[m_begin]);
}

bool TextLineReader::next(std::string& part, std::size_t maxBytes) {
    part.clear();
    while (part.size() < maxBytes) {
        int byte = peekByte();
        if (byte < 0)
            break;
        ++m_consumed;
        if (m_fd >= 0)
            ++m_begin;
        if (byte == '\r' && peekByte() == '\n')
            continue; // text mode: CR LF reads as LF
        part.push_back(static_cast<char>(byte));
        if (byte == '\n')
            return true;
    }
    return !part.empty() && !m_failed;
}

} // namespace formdesc
