#pragma once

#include "editor/canvas/CanvasGeometry.h"

#include <span>
#include <vector>

// The items the user has selected, at most 500, in the order they were
// selected. Each entry names its record by kind and index and keeps the
// record's cells, so that the marks can be drawn without reading the record.
namespace editor {

struct SelectionEntry {
    CellSpan cells;
    int kind = 0;   // formdesc::kKindField, kKindLine, kKindRect, kKindBitmap or kKindBarcode
    int index = 0;  // position in the field array (fields) or the figure array
    int course = 0; // a line's course; 0 for other kinds
    bool operator==(const SelectionEntry&) const = default;
};

class Selection {
  public:
    static constexpr int kMaxEntries = 500;

    Selection() { m_entries.reserve(kMaxEntries); }

    bool empty() const { return m_entries.empty(); }
    int size() const { return static_cast<int>(m_entries.size()); }
    bool full() const { return size() >= kMaxEntries; }
    std::span<const SelectionEntry> entries() const { return m_entries; }
    std::span<SelectionEntry> entries() { return m_entries; }

    void clear() { m_entries.clear(); }
    // False (and nothing added) when the selection is full.
    bool add(const SelectionEntry& entry) {
        if (full())
            return false;
        m_entries.push_back(entry);
        return true;
    }

    // The union of the entries' cells; all zeros when empty.
    CellSpan bounds() const {
        if (m_entries.empty())
            return {};
        CellSpan out = m_entries.front().cells;
        for (const SelectionEntry& e : m_entries) {
            out.col1 = std::min(out.col1, e.cells.col1);
            out.row1 = std::min(out.row1, e.cells.row1);
            out.col2 = std::max(out.col2, e.cells.col2);
            out.row2 = std::max(out.row2, e.cells.row2);
        }
        return out;
    }

    static SelectionEntry entryFor(const formdesc::FieldInfo& field, int index) {
        return {CanvasGeometry::spanOf(field), formdesc::kKindField, index, 0};
    }
    static SelectionEntry entryFor(const formdesc::FigureInfo& figure, int index) {
        return {CanvasGeometry::spanOf(figure), figure.kind, index,
                figure.kind == formdesc::kKindLine ? figure.course : 0};
    }

  private:
    std::vector<SelectionEntry> m_entries;
};

} // namespace editor
