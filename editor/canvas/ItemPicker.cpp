#include "editor/canvas/ItemPicker.h"

#include "editor/canvas/ItemTracker.h"

namespace editor {

namespace {

bool inside(const platform::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool insideClosed(const platform::Rect& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

bool hits(const CanvasView& view, const formdesc::FigureInfo& figure, const SelectionEntry& entry, int x,
          int y) {
    const platform::Rect rect = ItemTracker::windowRect(view, entry);
    if (figure.kind == formdesc::kKindRect && figure.meshKind() == formdesc::kMeshFrameOnly) {
        const platform::Rect outer{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
        const platform::Rect inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        return inside(outer, x, y) && !inside(inner, x, y);
    }
    return inside(rect, x, y);
}

} // namespace

bool ItemPicker::passesFilter(int kind, int filter) {
    switch (kind) {
    case formdesc::kKindField:
        return filter == 0 || filter == 1;
    case formdesc::kKindLine:
        return filter == 0 || filter == 2;
    case formdesc::kKindRect:
        return filter == 0 || filter == 3;
    case formdesc::kKindBitmap:
        return filter == 0 || filter == 4;
    default:
        return false;
    }
}

std::optional<SelectionEntry> ItemPicker::pick(const CanvasView& view, const formdesc::FormModel& model,
                                               int x, int y, int filter) {
    if (passesFilter(formdesc::kKindField, filter))
        for (int i = 0; i < model.fieldCount; ++i) {
            const SelectionEntry entry = Selection::entryFor(model.fields[std::size_t(i)], i);
            if (inside(ItemTracker::windowRect(view, entry), x, y))
                return entry;
        }
    for (int i = 0; i < model.figureCount; ++i) {
        const formdesc::FigureInfo& figure = model.figures[std::size_t(i)];
        if (!passesFilter(figure.kind, filter))
            continue;
        const SelectionEntry entry = Selection::entryFor(figure, i);
        if (hits(view, figure, entry, x, y))
            return entry;
    }
    return std::nullopt;
}

void ItemPicker::rangeSelect(const CanvasView& view, const formdesc::FormModel& model,
                             const platform::Rect& band, int filter, Selection& selection) {
    selection.clear();
    const platform::Rect n = normalized(band);
    const auto take = [&](const SelectionEntry& entry) {
        const platform::Rect r = ItemTracker::windowRect(view, entry);
        if (insideClosed(n, r.left, r.top) && insideClosed(n, r.right, r.bottom))
            selection.add(entry);
    };
    if (passesFilter(formdesc::kKindField, filter))
        for (int i = 0; i < model.fieldCount && !selection.full(); ++i)
            take(Selection::entryFor(model.fields[std::size_t(i)], i));
    for (int i = 0; i < model.figureCount && !selection.full(); ++i)
        if (passesFilter(model.figures[std::size_t(i)].kind, filter))
            take(Selection::entryFor(model.figures[std::size_t(i)], i));
}

} // namespace editor
