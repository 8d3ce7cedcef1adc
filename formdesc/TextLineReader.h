#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

// Reads a text file the way a text-mode stream does (a carriage return right
// before a line feed is dropped), in line parts of at most maxBytes bytes: a
// longer line comes as several parts. The line feed, when read, stays at the
// end of its part. Streams from a file or from memory; memory use does not
// grow with the line length.
namespace formdesc {

class TextLineReader {
  public:
    explicit TextLineReader(std::string_view memory);
    // Takes ownership of the open file descriptor. With a byte limit, a file
    // that gives more bytes than that fails as a read error does.
    explicit TextLineReader(int fd, long long maxBytes = -1);
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // The next part, or false at the end of the input and from a read error
    // on (the part it cut short included).
    bool next(std::string& part, std::size_t maxBytes);
    // Offset of the next unread byte in the raw input.
    long long position() const { return m_consumed; }
    // True once a read of the file failed: the input ended early, not at its end.
    bool failed() const { return m_failed; }

  private:
    bool fill();
    int peekByte();

    int m_fd = -1;
    bool m_failed = false;
    std::string_view m_memory;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_begin = 0;
    std::size_t m_end = 0;
    long long m_consumed = 0;
    long long m_limit = -1;
    long long m_fetched = 0;
};

} // namespace formdesc
