#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "formdesc/FormModel.h"
#include "formdesc/FormSlots.h"

namespace runtime {

// Turns documents of named values into the character image of their pages,
// line by line, as a data file would hold them: every page is the form's
// rows of lines (row mode), with each value's Shift-JIS bytes at its field's
// columns; a tag-mode form gets one tagged line per slot that has a value,
// its value at the columns of every field with that tag.
//
// A slot of several lines takes its values line by line; values beyond its
// lines continue on the following pages, where the single-line slots are
// repeated. Pages are written as soon as every multi-line slot has filled
// one, so a long document is never held whole.
class RecordPages {
  public:
    using LineSink = std::function<bool(std::string_view line)>;

    RecordPages(const formdesc::FormModel& model, LineSink sink);

    // The slot a name (Shift-JIS) fills, or -1; a name that matches no tag is
    // noted once.
    int slotOf(std::string_view name);
    // The same without noting an unknown name.
    int findSlot(std::string_view name) const;

    void beginDocument();
    // The next value of the slot; a single-line slot keeps its first value.
    // Control characters become blanks, so a value never breaks its line.
    void addValue(int slot, std::string value);
    // Writes the pages that every multi-line slot given a value so far has
    // filled; for readers that give each such slot one value per record.
    bool writeFilledPages();
    // Writes what is left of the document (at least one page).
    bool endDocument();

    bool isMultiLine(int slot) const;
    // False for a single-line slot that already has its value: a caller may
    // skip preparing one.
    bool takesValue(int slot) const;

    std::uint64_t pagesWritten() const { return m_pages; }
    // Values cut at whole characters to fit their fields.
    std::uint64_t cutValues() const { return m_cutValues; }
    // The names that matched no tag, in the order first seen.
    const std::vector<std::string>& unknownNames() const { return m_unknown; }

  private:
    struct SlotValues {
        std::deque<std::string> values;
        bool hasSingle = false;
        std::string single;
        bool fed = false;
    };

    bool pageReady() const;
    bool writePage();
    void place(std::string& line, const formdesc::FieldInfo& field, std::string_view value, bool count,
               std::size_t offset);

    const formdesc::FormModel& m_model;
    LineSink m_sink;
    std::vector<formdesc::FormSlot> m_slots;
    std::vector<int> m_lineCounts; // lines each slot fills on a page
    std::unordered_map<std::string, int> m_byKey;
    std::vector<SlotValues> m_values;
    std::vector<std::string> m_unknown;
    std::vector<std::string> m_unknownKeys;
    std::vector<std::string> m_lines;
    int m_documentPages = 0;
    bool m_tagMode = false;
    std::uint64_t m_pages = 0;
    std::uint64_t m_cutValues = 0;
};

} // namespace runtime
