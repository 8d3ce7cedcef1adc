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
    // its outline alone, a line on itself: within three device pixels of
    // where the canvas draws them (plus half a wide pen) at every zoom, and
    // in the narrow band just around their window rectangles.
    static std::optional<SelectionEntry> pick(const CanvasView& view, const formdesc::FormModel& model, int x,
                                              int y, int filter);
    // Every item whose window rectangle lies inside the band (its right and
    // bottom edges included), at most 500. Replaces the selection.
    static void rangeSelect(const CanvasView& view, const formdesc::FormModel& model,
                            const platform::Rect& band, int filter, Selection& selection);
    // Every item the filter allows, fields first, up to the selection's
    // limit. Replaces the selection; false when items were left out.
    static bool selectAll(const formdesc::FormModel& model, int filter, Selection& selection);
    static bool passesFilter(int kind, int filter);
};

} // namespace editor
