#pragma once

#include <array>
#include <span>
#include <string_view>

#include "formdesc/FormModel.h"
#include "runtime/data/DataRecord.h"

namespace runtime {

// Fills a record from one line part of the data file.
//
// The text starts as 256 blanks; byte i of the line goes to cell i while i is
// below both `columns` and the line length, so bytes beyond the form's columns
// are dropped. Blank, tab and line feed leave their cell blank; so do NUL and
// carriage return, which have no glyph: a record never holds either, and code
// that treats a cell run as a C string or hands it to a font sees a blank.
//
// Tag mode: a part longer than 8 bytes (line feed included) carries its tag in
// bytes 1-8 (a '|' in byte 8 counts as a blank) and its text from byte 9; the
// tag loses its leading and trailing blanks and is upper-cased (a-z and
// full-width ａ-ｚ). A part of 8 bytes or less has an empty tag and is all text.
void fillDataRecord(DataRecord& record, std::string_view line, int columns, bool tagMode);

// The records of the page being composed; record j is row j + 1.
class PageBuffer {
  public:
    void clear() { m_count = 0; }
    // Appends the line as the next record. Returns false, and leaves the
    // buffer as it is, when it already holds kMaxPageRecords records.
    bool addRecord(std::string_view line, const formdesc::FormInfo& form);

    int count() const { return m_count; }
    bool isEmpty() const { return m_count == 0; }
    bool isFull() const { return m_count == kMaxPageRecords; }

    std::span<const DataRecord> records() const {
        return {m_records.data(), static_cast<std::size_t>(m_count)};
    }
    std::span<DataRecord> records() { return {m_records.data(), static_cast<std::size_t>(m_count)}; }
    const DataRecord& operator[](int index) const { return m_records[static_cast<std::size_t>(index)]; }
    DataRecord& operator[](int index) { return m_records[static_cast<std::size_t>(index)]; }

  private:
    std::array<DataRecord, kMaxPageRecords> m_records{};
    int m_count = 0;
};

} // namespace runtime
