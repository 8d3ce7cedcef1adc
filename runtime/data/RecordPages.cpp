#include "runtime/data/RecordPages.h"

#include <algorithm>

#include "formdesc/ShiftJis.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/DataRecord.h"

namespace runtime {

namespace {

constexpr std::size_t kTagBytes = 8;

std::size_t formColumns(const formdesc::FormInfo& form) {
    return static_cast<std::size_t>(std::clamp(form.columns, 0, static_cast<int>(sizeof(DataRecord::text))));
}

void trimTrailingBlanks(std::string& line, std::size_t keep) {
    std::size_t end = line.size();
    while (end > keep && line[end - 1] == ' ')
        --end;
    line.resize(end);
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

void RecordPages::addValue(int slot, std::string text) {
    if (slot < 0 || slot >= static_cast<int>(m_values.size()))
        return;
    for (char& byte : text) {
        const auto code = static_cast<unsigned char>(byte);
        if (code < 0x20 || code == 0x7F)
            byte = ' ';
    }
    SlotValues& values = m_values[static_cast<std::size_t>(slot)];
    values.fed = true;
    if (!isMultiLine(slot)) {
        if (!values.hasSingle) {
            values.single = std::move(text);
            values.hasSingle = true;
        }
        return;
    }
    values.values.push_back(std::move(text));
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

void RecordPages::place(std::string& line, const formdesc::FieldInfo& field, std::string_view value,
                        bool count, std::size_t offset) {
    const std::size_t columns = formColumns(m_model.form);
    if (field.startCol < 1 || static_cast<std::size_t>(field.startCol) > columns ||
        field.endCol < field.startCol)
        return;
    const std::size_t first = static_cast<std::size_t>(field.startCol) - 1;
    const std::size_t width = std::min(static_cast<std::size_t>(field.endCol), columns) - first;
    const std::string_view fitted = formdesc::sjis::cutWhole(value, width);
    if (count && fitted.size() < value.size())
        ++m_cutValues;
    // Lines grow as far as their values reach; blanks fill what lies between.
    const std::size_t at = offset + first;
    if (line.size() < at + fitted.size())
        line.resize(at + fitted.size(), ' ');
    line.replace(at, fitted.size(), fitted);
}

bool RecordPages::writePage() {
    const std::size_t rows = static_cast<std::size_t>(rowsPerPage(m_model.form.rows));
    const std::size_t offset = m_tagMode ? kTagBytes : 0;
    // The lines keep their storage from page to page.
    m_lines.resize(rows);
    std::size_t used = m_tagMode ? 0 : rows;
    if (!m_tagMode) {
        for (std::string& line : m_lines)
            line.clear();
    }
    const bool firstPage = m_documentPages == 0;
    for (std::size_t i = 0; i < m_slots.size(); ++i) {
        SlotValues& values = m_values[i];
        const std::vector<int>& fields = m_slots[i].fields;
        if (m_lineCounts[i] > 1) {
            for (std::size_t k = 0; k < fields.size() && !values.values.empty(); ++k) {
                const formdesc::FieldInfo& field = m_model.fields[static_cast<std::size_t>(fields[k])];
                if (field.startRow >= 1 && static_cast<std::size_t>(field.startRow) <= rows)
                    place(m_lines[static_cast<std::size_t>(field.startRow - 1)], field, values.values.front(),
                          true, 0);
                values.values.pop_front();
            }
            continue;
        }
        if (!values.hasSingle)
            continue;
        // A repeated single-line value is counted on the first page only.
        if (m_tagMode) {
            if (used == rows)
                continue;
            std::string& line = m_lines[used++];
            line.assign(offset + 1, ' ');
            line.replace(0, m_slots[i].tag.size(), m_slots[i].tag);
            for (int index : fields)
                place(line, m_model.fields[static_cast<std::size_t>(index)], values.single,
                      firstPage && index == fields[0], offset);
            continue;
        }
        const formdesc::FieldInfo& field = m_model.fields[static_cast<std::size_t>(fields[0])];
        if (field.startRow >= 1 && static_cast<std::size_t>(field.startRow) <= rows)
            place(m_lines[static_cast<std::size_t>(field.startRow - 1)], field, values.single, firstPage, 0);
    }
    for (std::size_t r = used; r < rows; ++r)
        m_lines[r].clear();
    for (std::string& line : m_lines) {
        trimTrailingBlanks(line, line.empty() ? 0 : offset + (m_tagMode ? 1 : 0));
        if (!m_sink(line))
            return false;
    }
    ++m_documentPages;
    ++m_pages;
    return true;
}

} // namespace runtime
