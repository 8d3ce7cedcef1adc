#include "TextLineReader.h"

namespace formdesc {

namespace {
constexpr std::size_t kBlockSize = 64 * 1024;
}

TextLineReader::TextLineReader(std::string_view memory) : m_memory(memory) {}

TextLineReader::TextLineReader(std::FILE* file) : m_file(file), m_buffer(new char[kBlockSize]) {}

TextLineReader::~TextLineReader() {
    if (m_file)
        std::fclose(m_file);
}

bool TextLineReader::fill() {
    if (m_begin < m_end)
        return true;
    if (!m_file)
        return false;
    m_begin = 0;
    m_end = std::fread(m_buffer.get(), 1, kBlockSize, m_file);
    return m_end > 0;
}

int TextLineReader::peekByte() {
    if (!m_file) {
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
        if (m_file)
            ++m_begin;
        if (byte == '\r' && peekByte() == '\n')
            continue; // text mode: CR LF reads as LF
        part.push_back(static_cast<char>(byte));
        if (byte == '\n')
            return true;
    }
    return !part.empty();
}

} // namespace formdesc
