#pragma once

#include <cstdint>
#include <cstdio>
#include <string>
#include <string_view>
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

    // The next record's fields, valid until the next call; false at the end
    // of the file and on an error (error() is then set). Most fields are
    // shown where they were read, without a copy.
    bool next(std::vector<std::string_view>& fields);

    const RecordError& error() const { return m_error; }
    // The line (from 1) where the record last returned starts.
    std::uint64_t recordLine() const { return m_recordLine; }

  private:
    // A field of the record being read: bytes of the buffer, or a string of
    // its own when it held doubled quotes or reached over a refill.
    struct FieldText {
        std::size_t at = 0; // in the buffer, or the index of its own string
        std::size_t size = 0;
        bool owned = false;
    };

    // The byte at the read position (kEnd at the end) without taking it.
    int peek() { return m_pos < m_buffer.size() ? static_cast<unsigned char>(m_buffer[m_pos]) : refill(); }
    // Takes the byte at the read position, keeping the line.
    int get() {
        const int byte = peek();
        if (byte < 0)
            return byte;
        ++m_pos;
        if (byte == '\n') {
            settleOpenColumn();
            ++m_line;
            m_column = 0;
            m_counted = m_pos;
        }
        return byte;
    }
    int refill();
    // Characters on the current line before the byte at `pos`, which is not
    // before m_counted.
    std::uint64_t columnAt(std::size_t pos);
    // Characters read on the current line, up to the read position.
    std::uint64_t column() { return columnAt(m_pos); }
    // Counts the open quote's column while its line and bytes are at hand.
    void settleOpenColumn() {
        if (m_openPending) {
            m_openColumn = columnAt(m_openAt);
            m_openPending = false;
        }
    }
    bool takeField(int& stop);
    bool takeFieldInBuffer(int& stop);
    bool takeFieldInPieces(int& stop);
    std::string& ownedField();
    // Notes a field of the record; the entries keep their room from record
    // to record.
    void addField(const FieldText& field) {
        if (m_fieldCount == m_fields.size())
            m_fields.emplace_back();
        m_fields[m_fieldCount++] = field;
    }
    void takeRun(std::string& field, std::uint8_t stopMask);
    std::size_t runEnd(std::size_t from, std::uint8_t stopMask) const;
    void fail(std::uint64_t line, std::uint64_t column, const char* what);

    std::FILE* m_in;
    std::string m_buffer;
    std::size_t m_pos = 0;
    bool m_eof = false;
    std::uint64_t m_line = 1;
    // Characters of the current line before m_buffer[m_counted]: counted
    // only when a column is asked for or the buffer is refilled, so the
    // bytes of a field are looked at once while it is read.
    std::uint64_t m_column = 0;
    std::size_t m_counted = 0;
    // The quote that opened the field being read: its column is counted only
    // when the field spans a line break or a refill, or is never closed.
    bool m_openPending = false;
    std::size_t m_openAt = 0;
    std::uint64_t m_openColumn = 0;
    std::vector<FieldText> m_fields; // the record's: [0, m_fieldCount)
    std::size_t m_fieldCount = 0;
    std::vector<std::string> m_owned; // the own strings, kept for their storage
    std::size_t m_ownedUsed = 0;
    std::uint64_t m_recordLine = 0;
    RecordError m_error;
};

} // namespace runtime
