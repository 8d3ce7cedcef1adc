#pragma once

#include "editor/canvas/ClipboardBlock.h"
#include "editor/canvas/CurrentAttributes.h"
#include "editor/canvas/Selection.h"
#include "formdesc/FormModel.h"

#include <optional>

// The changes that editing makes to the records, free of any window: creating
// an item from a dragged band, moving, nudging and resizing the selection,
// deleting it, and pasting copied items. The caller redraws, updates the
// displays and records the change for undo.
namespace editor {

enum class PasteResult { Pasted, Nothing, OverLimit, Unsavable };

class ItemEdits {
  public:
    // A new item of the tool's kind (11, 21, 22, 24, 25) over the normalised band
    // with the current attributes, appended to its array; the selection
    // becomes just that item. Nothing (and no change) when the array is full.
    static std::optional<SelectionEntry> create(formdesc::FormModel& model, int toolMode,
                                                const CellSpan& band, const CurrentAttributes& attributes,
                                                Selection& selection);

    // Adds (dCol, dRow) to every selected record and entry, unclamped (a
    // dragged move is kept inside the grid while it is tracked).
    static void move(formdesc::FormModel& model, Selection& selection, int dCol, int dRow);
    // Shifts every selected record by (dCol, dRow) and clamps each into the
    // grid on its own, so items at an edge stay while the others move.
    static void nudge(formdesc::FormModel& model, Selection& selection, int dCol, int dRow);
    // Writes new cells into the one record of an entry; a field and a
    // horizontal line keep one row, a vertical line one column.
    static void resize(formdesc::FormModel& model, SelectionEntry& entry, const CellSpan& cells);
    // Every entry takes its record's cells (and a line's course) again.
    static void refresh(const formdesc::FormModel& model, Selection& selection);

    // Clears the selected records, closes the gaps keeping the order of the
    // rest, and empties the selection.
    static void remove(formdesc::FormModel& model, Selection& selection);

    // Appends the items moved so that their bounding cells start at target,
    // each clamped into the grid; the selection becomes the pasted items.
    // A paste that would pass 1024 records of a kind or 500 selection
    // entries changes nothing and answers OverLimit; a block with a record
    // that the form file would not give back as it is (formdesc's round
    // trip) changes nothing and answers Unsavable.
    static PasteResult paste(formdesc::FormModel& model, const ClipboardItems& items, CellPoint target,
                             Selection& selection);
};

} // namespace editor
