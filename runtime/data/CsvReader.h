#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "runtime/data/RecordError.h"

namespace runtime {

// Reads CSV records one at a time (RFC 4180): fields split at commas,
// records at CRLF, LF or a lone CR; a field in double quotes may hold commas,
// line breaks and doubled quotes. A quote inside an unquoted field, anything
// but a comma or a line break after a closing quote, and a quote left open at
// the end of the file are errors naming their line and column. Lines with no
// byte at all are skipped. The bytes are never converted: commas, quotes and
// line breaks cannot be the trail byte of a Shift-JIS or UTF-8 character.
// Only the record being read is held in memory.
class CsvReader {
  public:
    // Reads from the file; `head` holds bytes already taken from its start.
    explicit CsvReader(std::FILE* in, std::string head = {});

    // The next record's fields; false at the end of the file and on an
    // error (error() is then set).
    bool next(std::vector<std::string>& fields);

    const RecordError& error() const { return m_error; }
    // The line (from 1) where the record last returned starts.
    std::uint64_t recordLine() const { return m_recordLine; }

  private:
    // The byte at the read position (kEnd at the end) without taking it.
    int peek() { return m_pos < m_buffer.size() ? static_cast<unsigned char>(m_buffer[m_pos]) : refill(); }
    // Takes the byte at the read position, keeping the line and column.
    int get() {
        const int byte = peek();
        if (byte < 0)
            return byte;
        ++m_pos;
        if (byte == '\n') {
            ++m_line;
            m_column = 0;
        } else if ((byte & 0xC0) != 0x80)
            ++m_column;
        return byte;
    }
    int refill();
    void takePlainRun(std::string& field);
    void takeQuotedRun(std::string& field);
    void takeRun(std::string& field, std::uint8_t stopMask);
    void fail(std::uint64_t line, std::uint64_t column, const char* what);

    std::FILE* m_in;
    std::string m_buffer;
    std::size_t m_pos = 0;
    bool m_eof = false;
    std::uint64_t m_line = 1;
    std::uint64_t m_column = 0; // characters read on the current line
    std::uint64_t m_recordLine = 0;
    RecordError m_error;
};

} // namespace runtime
