#include "runtime/data/RecordPages.h"

#include <algorithm>
#include <cstring>

#include "formdesc/ShiftJis.h"
#include "runtime/data/DataLineReader.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/DataRecord.h"

namespace runtime {

namespace {

constexpr std::size_t kTagBytes = 8;

// The longest line: a tag's room and a data line's columns.
constexpr std::size_t kLineBytes = kTagBytes + sizeof(DataRecord::text);

std::size_t formColumns(const formdesc::FormInfo& form) {
    return static_cast<std::size_t>(std::clamp(form.columns, 0, static_cast<int>(sizeof(DataRecord::text))));
}

// The value with control characters as blanks, so it never breaks its line.
void assignClean(std::string& to, std::string_view value) {
    to.resize(value.size());
    char* out = to.data();
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto code = static_cast<unsigned char>(value[i]);
        out[i] = code < 0x20 || code == 0x7F ? ' ' : static_cast<char>(code);
    }
}

} // namespace

RecordPages::RecordPages(const formdesc::FormModel& model, LineSink sink)
    : m_model(model), m_sink(std::move(sink)), m_slots(formdesc::formSlots(model)),
      m_tagMode(model.form.tagMode != 0) {
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        // A tag-mode record reaches every field with its tag: such a slot
        // shows one value whatever its fields.
        m_lineCounts.push_back(m_tagMode ? 1 : m_slots[i].lineCount());
        m_byKey.emplace(m_slots[i].tag, static_cast<int>(i));
        m_breakInTag = m_breakInTag || m_slots[i].tag.find_first_of("\r\n") != std::string::npos;
    }
    m_values.resize(m_slots.size());
}

int RecordPages::findSlot(std::string_view name) const {
    const auto found = m_byKey.find(formdesc::slotKey(name));
    return found == m_byKey.end() ? -1 : found->second;
}

int RecordPages::slotOf(std::string_view name) {
    const std::string key = formdesc::slotKey(name);
    if (const auto found = m_byKey.find(key); found != m_byKey.end())
        return found->second;
    if (!key.empty() && std::find(m_unknownKeys.begin(), m_unknownKeys.end(), key) == m_unknownKeys.end()) {
        m_unknownKeys.push_back(key);
        m_unknown.emplace_back(formdesc::sjis::trim(name));
    }
    return -1;
}

std::optional<std::uint64_t> RecordPages::lineParts() const {
    if (m_breakInTag)
        return std::nullopt;
    return m_lineParts;
}

bool RecordPages::isMultiLine(int slot) const {
    return m_lineCounts[static_cast<std::size_t>(slot)] > 1;
}

bool RecordPages::takesValue(int slot) const {
    return isMultiLine(slot) || !m_values[static_cast<std::size_t>(slot)].hasSingle;
}

void RecordPages::beginDocument() {
    // Cleared rather than made anew: their storage serves the next document.
    for (SlotValues& slot : m_values) {
        slot.values.clear();
        slot.hasSingle = false;
        slot.single.clear();
        slot.fed = false;
    }
    m_documentPages = 0;
}

void RecordPages::addValue(int slot, std::string_view text) {
    if (slot < 0 || slot >= static_cast<int>(m_values.size()))
        return;
    SlotValues& values = m_values[static_cast<std::size_t>(slot)];
    values.fed = true;
    if (!isMultiLine(slot)) {
        if (!values.hasSingle) {
            assignClean(values.single, text);
            values.hasSingle = true;
        }
        return;
    }
    assignClean(values.values.pushBack(), text);
}

std::string& RecordPages::WaitingValues::pushBack() {
    // Values taken from the front leave room there; the waiting ones move
    // down once they are no more than what was taken, so a slot that always
    // keeps some waiting does not grow without end.
    if (m_first + m_count == m_items.size() && m_first > 0 && m_first >= m_count) {
        std::rotate(m_items.begin(), m_items.begin() + static_cast<std::ptrdiff_t>(m_first),
                    m_items.begin() + static_cast<std::ptrdiff_t>(m_first + m_count));
        m_first = 0;
    }
    if (m_first + m_count == m_items.size())
        m_items.emplace_back();
    return m_items[m_first + m_count++];
}

void RecordPages::WaitingValues::popFront() {
    ++m_first;
    if (--m_count == 0)
        m_first = 0;
}

bool RecordPages::pageReady() const {
    bool anyFed = false;
    for (std::size_t i = 0; i < m_values.size(); ++i) {
        if (m_lineCounts[i] <= 1 || !m_values[i].fed)
            continue;
        anyFed = true;
        if (m_values[i].values.size() < static_cast<std::size_t>(m_lineCounts[i]))
            return false;
    }
    return anyFed;
}

bool RecordPages::writeFilledPages() {
    while (pageReady()) {
        if (!writePage())
            return false;
    }
    return true;
}

bool RecordPages::endDocument() {
    auto valuesLeft = [this] {
        return std::any_of(m_values.begin(), m_values.end(),
                           [](const SlotValues& v) { return !v.values.empty(); });
    };
    while (valuesLeft() || m_documentPages == 0) {
        if (!writePage())
            return false;
    }
    return true;
}

void RecordPages::place(std::size_t row, const formdesc::FieldInfo& field, std::string_view value, bool count,
                        std::size_t offset) {
    const std::size_t columns = formColumns(m_model.form);
    if (field.startCol < 1 || static_cast<std::size_t>(field.startCol) > columns ||
        field.endCol < field.startCol)
        return;
    const std::size_t first = static_cast<std::size_t>(field.startCol) - 1;
    const std::size_t width = std::min(static_cast<std::size_t>(field.endCol), columns) - first;
    const std::string_view fitted = formdesc::sjis::cutWhole(value, width);
    if (count && fitted.size() < value.size())
        ++m_cutValues;
    // Lines reach as far as their values; blanks lie between.
    const std::size_t at = offset + first;
    std::memcpy(m_lines[row].data() + at, fitted.data(), fitted.size());
    m_lineLengths[row] = std::max(m_lineLengths[row], at + fitted.size());
}

bool RecordPages::writePage() {
    const std::size_t rows = static_cast<std::size_t>(rowsPerPage(m_model.form.rows));
    const std::size_t offset = m_tagMode ? kTagBytes : 0;
    // The lines keep their storage, all blanks, from page to page: only what
    // the last page wrote is blanked again.
    if (m_lines.size() != rows) {
        m_lines.assign(rows, std::string(kLineBytes, ' '));
        m_lineLengths.assign(rows, 0);
    }
    for (std::size_t r = 0; r < rows; ++r) {
        std::memset(m_lines[r].data(), ' ', m_lineLengths[r]);
        m_lineLengths[r] = 0;
    }
    std::size_t used = 0;
    const bool firstPage = m_documentPages == 0;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        SlotValues& values = m_values[i];
        const std::vector<int>& fields = m_slots[i].fields;
        if (m_lineCounts[i] > 1) {
            for (std::size_t k = 0; k < fields.size() && !values.values.empty(); ++k) {
                const formdesc::FieldInfo& field = m_model.fields[static_cast<std::size_t>(fields[k])];
                if (field.startRow >= 1 && static_cast<std::size_t>(field.startRow) <= rows)
                    place(static_cast<std::size_t>(field.startRow - 1), field, values.values.front(), true,
                          0);
                values.values.popFront();
            }
            continue;
        }
        if (!values.hasSingle)
            continue;
        // A repeated single-line value is counted on the first page only.
        if (m_tagMode) {
            if (used == rows)
                continue;
            const std::string& tag = m_slots[i].tag;
            const std::size_t row = used++;
            std::memcpy(m_lines[row].data(), tag.data(), std::min(tag.size(), kLineBytes));
            m_lineLengths[row] = std::max(offset + 1, std::min(tag.size(), kLineBytes));
            for (int index : fields)
                place(row, m_model.fields[static_cast<std::size_t>(index)], values.single,
                      firstPage && index == fields[0], offset);
            continue;
        }
        const formdesc::FieldInfo& field = m_model.fields[static_cast<std::size_t>(fields[0])];
        if (field.startRow >= 1 && static_cast<std::size_t>(field.startRow) <= rows)
            place(static_cast<std::size_t>(field.startRow - 1), field, values.single, firstPage, 0);
    }
    for (std::size_t r = 0; r < rows; ++r) {
        const std::string_view line(m_lines[r].data(), trimmedLength(r, offset));
        m_lineParts += line.size() / DataLineReader::kMaxPartBytes + 1;
        if (!m_sink(line))
            return false;
    }
    ++m_documentPages;
    ++m_pages;
    return true;
}

// A line without its trailing blanks; a tagged line keeps its tag's room.
std::size_t RecordPages::trimmedLength(std::size_t row, std::size_t offset) const {
    std::size_t length = m_lineLengths[row];
    const std::size_t keep = length == 0 ? 0 : offset + (m_tagMode ? 1 : 0);
    while (length > keep && m_lines[row][length - 1] == ' ')
        --length;
    return length;
}

} // namespace runtime
