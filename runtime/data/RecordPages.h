#pragma once

#include <cstdint>
#include <functional>
#include <optional>
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
    void addValue(int slot, std::string_view value);
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
    // The lines written as DataLineReader will read them back (a line of
    // more than its part length comes in several parts), so the job need not
    // read the file to count its pages; nothing when a tag of the form holds
    // a line break, which the reader would take as one.
    std::optional<std::uint64_t> lineParts() const;
    // Values cut at whole characters to fit their fields.
    std::uint64_t cutValues() const { return m_cutValues; }
    // The names that matched no tag, in the order first seen.
    const std::vector<std::string>& unknownNames() const { return m_unknown; }

  private:
    // The values of a multi-line slot waiting for their lines: a queue whose
    // strings keep their storage from page to page and document to document.
    class WaitingValues {
      public:
        bool empty() const { return m_count == 0; }
        std::size_t size() const { return m_count; }
        const std::string& front() const { return m_items[m_first]; }
        // A string to fill as the last value.
        std::string& pushBack();
        void popFront();
        void clear() { m_first = m_count = 0; }

      private:
        std::vector<std::string> m_items; // waiting: [m_first, m_first + m_count)
        std::size_t m_first = 0;
        std::size_t m_count = 0;
    };

    struct SlotValues {
        WaitingValues values;
        bool hasSingle = false;
        std::string single;
        bool fed = false;
    };

    bool pageReady() const;
    bool writePage();
    void place(std::size_t row, const formdesc::FieldInfo& field, std::string_view value, bool count,
               std::size_t offset);
    std::size_t trimmedLength(std::size_t row, std::size_t offset) const;

    const formdesc::FormModel& m_model;
    LineSink m_sink;
    std::vector<formdesc::FormSlot> m_slots;
    std::vector<int> m_lineCounts; // lines each slot fills on a page
    std::unordered_map<std::string, int> m_byKey;
    std::vector<SlotValues> m_values;
    std::vector<std::string> m_unknown;
    std::vector<std::string> m_unknownKeys;
    std::vector<std::string> m_lines;       // the page's lines, blanks beyond their lengths
    std::vector<std::size_t> m_lineLengths; // bytes written, trailing blanks included
    int m_documentPages = 0;
    bool m_tagMode = false;
    std::uint64_t m_pages = 0;
    std::uint64_t m_lineParts = 0;
    bool m_breakInTag = false;
    std::uint64_t m_cutValues = 0;
};

} // namespace runtime
