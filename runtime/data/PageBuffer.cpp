#include "runtime/data/PageBuffer.h"

#include <algorithm>
#include <cstring>
#include <string>

#include "formdesc/ShiftJis.h"

namespace runtime {

namespace {

constexpr std::size_t kTagBytes = 8;

bool leavesCellBlank(char byte) {
    return byte == ' ' || byte == '\t' || byte == '\n' || byte == '\0' || byte == '\r';
}

// Blanks off both ends; a double-byte character is stepped over whole, so its
// trail byte is never mistaken for a blank.
std::string_view trimBlanks(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && text[begin] == ' ')
        ++begin;
    std::size_t end = begin;
    std::size_t kept = begin;
    while (end < text.size()) {
        const std::size_t length = formdesc::sjis::charLength(text, end);
        if (length == 2 || text[end] != ' ')
            kept = end + length;
        end += length;
    }
    return text.substr(begin, kept - begin);
}

void storeTag(DataRecord& record, std::string_view tagBytes) {
    char raw[kTagBytes];
    std::memcpy(raw, tagBytes.data(), kTagBytes);
    if (raw[kTagBytes - 1] == '|')
        raw[kTagBytes - 1] = ' ';
    // A NUL would end the stored tag early and let "NA\0ME" match "NA".
    std::replace(raw, raw + kTagBytes, '\0', ' ');
    std::string tag(trimBlanks(std::string_view(raw, kTagBytes)));
    formdesc::sjis::toUpper(tag);
    std::memcpy(record.tag, tag.data(), tag.size());
    record.tag[tag.size()] = '\0';
}

} // namespace

void fillDataRecord(DataRecord& record, std::string_view line, int columns, bool tagMode) {
    // The whole tag, so that a record never keeps bytes of the one before it.
    std::memset(record.tag, 0, sizeof(record.tag));
    std::string_view text = line;
    if (tagMode && line.size() > kTagBytes) {
        storeTag(record, line.substr(0, kTagBytes));
        text = line.substr(kTagBytes);
    }
    std::memset(record.text, ' ', sizeof(record.text));
    const std::size_t cells =
        static_cast<std::size_t>(std::clamp(columns, 0, static_cast<int>(sizeof(record.text))));
    const std::size_t limit = std::min(cells, text.size());
    for (std::size_t i = 0; i < limit; ++i) {
        if (!leavesCellBlank(text[i]))
            record.text[i] = text[i];
    }
}

bool PageBuffer::addRecord(std::string_view line, const formdesc::FormInfo& form) {
    if (isFull())
        return false;
    fillDataRecord(m_records[static_cast<std::size_t>(m_count)], line, form.columns, form.tagMode != 0);
    ++m_count;
    return true;
}

} // namespace runtime
