#pragma once

#include "editor/canvas/CanvasGeometry.h"
#include "editor/canvas/Selection.h"
#include "formdesc/FormModel.h"

#include <optional>

// Which items a click or a dragged band takes: fields first, then figures,
// each in array order, through the selection filter (0 every kind, 1 fields,
// 2 lines, 3 rectangles, 4 bitmaps).
namespace editor {

class ItemPicker {
  public:
    // The first item under a window point. A frame-only rectangle is hit on
    // its outline alone.
    static std::optional<SelectionEntry> pick(const CanvasView& view, const formdesc::FormModel& model, int x,
                                              int y, int filter);
    // Every item whose window rectangle lies inside the band (its right and
    // bottom edges included), at most 500. Replaces the selection.
    static void rangeSelect(const CanvasView& view, const formdesc::FormModel& model,
                            const platform::Rect& band, int filter, Selection& selection);
    static bool passesFilter(int kind, int filter);
};

} // namespace editor
