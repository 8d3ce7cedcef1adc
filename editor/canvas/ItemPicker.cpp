#include "editor/canvas/ItemPicker.h"

#include "editor/canvas/ItemTracker.h"
#include "formdesc/Barcode.h"
#include "formdesc/PageGeometry.h"
#include "render/RenderPolicy.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace editor {

namespace {

using Wide = std::int64_t;

// How far from a drawn line a click still takes it, in device pixels.
constexpr int kPickReach = 3;

bool inside(const platform::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool insideClosed(const platform::Rect& r, int x, int y) {
    return x >= r.left && x <= r.right && y >= r.top && y <= r.bottom;
}

// Where the canvas draws a page point: the page mapped isotropically onto
// its zoomed extent (square pixels), rounded as the device context rounds.
class DrawnMapping {
  public:
    explicit DrawnMapping(const CanvasView& view) : m_view(view) {
        const formdesc::PageGeometry& g = view.page;
        m_pageW = std::max(g.pageW, 1);
        m_pageH = std::max(g.pageH, 1);
        m_extX = std::max<Wide>(Wide{g.pageW} * view.zoom / 100, 1);
        m_extY = std::max<Wide>(Wide{g.pageH} * view.zoom / 100, 1);
        const double xdim = double(m_extX) / double(m_pageW);
        const double ydim = double(m_extY) / double(m_pageH);
        if (xdim > ydim)
            m_extX = std::max<Wide>(Wide(std::floor(double(m_extX) * (ydim / xdim) + 0.5)), 1);
        else if (ydim > xdim)
            m_extY = std::max<Wide>(Wide(std::floor(double(m_extY) * (xdim / ydim) + 0.5)), 1);
    }
    Wide x(Wide page) const { return roundDiv(page * m_extX, m_pageW) + m_view.offsetX; }
    Wide y(Wide page) const { return roundDiv(page * m_extY, m_pageH) + m_view.offsetY; }

  private:
    static Wide roundDiv(Wide num, Wide den) {
        const Wide twice = 2 * num + den;
        Wide q = twice / (2 * den);
        if (twice % (2 * den) != 0 && twice < 0)
            --q;
        return q;
    }
    const CanvasView& m_view;
    Wide m_pageW = 1;
    Wide m_pageH = 1;
    Wide m_extX = 1;
    Wide m_extY = 1;
};

// Whether (x, y) lies within reach of the segment from a to b as drawn.
bool nearSegment(Wide ax, Wide ay, Wide bx, Wide by, int x, int y, int reach) {
    if (ax == bx || ay == by) // upright or level: a box around it
        return x >= std::min(ax, bx) - reach && x <= std::max(ax, bx) + reach &&
               y >= std::min(ay, by) - reach && y <= std::max(ay, by) + reach;
    const double dx = double(bx - ax);
    const double dy = double(by - ay);
    const double t = std::clamp(((x - ax) * dx + (y - ay) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
    const double ex = double(ax) + t * dx - x;
    const double ey = double(ay) + t * dy - y;
    return ex * ex + ey * ey <= double(reach) * reach;
}

// The reach around a line: the pick band beyond the pixels the canvas's pen
// covers (its logical width grows with the zoom, as the device context maps it).
int reachFor(const CanvasView& view, const formdesc::FigureInfo& figure) {
    const int logical =
        figure.lineType == formdesc::kLineDenseDots ? 0 : render::canvasPenWidth(figure.lineWidth, view.zoom);
    const int device = logical == 0 ? 1 : std::max<int>(1, int((Wide{logical} * view.zoom + 50) / 100));
    return kPickReach + (device + 1) / 2;
}

// A frame-only rectangle or a line, hit near its outline as drawn: the same
// corner points as the renderer's, rows swapped for a rising line as it does.
bool nearDrawn(const CanvasView& view, const formdesc::FigureInfo& figure, int x, int y, int reach) {
    int startRow = figure.startRow;
    int endRow = figure.endRow;
    if (figure.kind == formdesc::kKindLine && ((figure.course == formdesc::kCourseLU && endRow < startRow) ||
                                               (figure.course == formdesc::kCourseRU && startRow < endRow)))
        std::swap(startRow, endRow);
    const formdesc::FigurePoints p =
        formdesc::figurePoints(view.page, figure.startCol, startRow, figure.endCol, endRow);
    const DrawnMapping map(view);
    const Wide x1 = map.x(p.x1);
    const Wide y1 = map.y(p.y1);
    const Wide x2 = map.x(p.x2);
    const Wide y2 = map.y(p.y2);
    if (figure.kind == formdesc::kKindLine)
        return nearSegment(x1, y1, x2, figure.course == formdesc::kCourseH ? y1 : y2, x, y, reach);
    return nearSegment(x1, y1, x1, y2, x, y, reach) || nearSegment(x2, y1, x2, y2, x, y, reach) ||
           nearSegment(x1, y1, x2, y1, x, y, reach) || nearSegment(x1, y2, x2, y2, x, y, reach);
}

bool hits(const CanvasView& view, const formdesc::FigureInfo& figure, const SelectionEntry& entry, int x,
          int y) {
    const platform::Rect rect = ItemTracker::windowRect(view, entry);
    const bool frameOnly =
        figure.kind == formdesc::kKindRect && figure.meshKind() == formdesc::kMeshFrameOnly;
    if (frameOnly) {
        // The narrow band just around the window rectangle.
        const platform::Rect outer{rect.left - 1, rect.top - 1, rect.right + 1, rect.bottom + 1};
        const platform::Rect inner{rect.left + 1, rect.top + 1, rect.right - 1, rect.bottom - 1};
        if (inside(outer, x, y) && !inside(inner, x, y))
            return true;
    } else if (inside(rect, x, y)) {
        return true;
    }
    if (!frameOnly && figure.kind != formdesc::kKindLine)
        return false;
    // The band around the line as drawn; a point well away from the window
    // rectangle is refused before the exact test.
    const int reach = reachFor(view, figure);
    const platform::Rect near{rect.left - reach - 2, rect.top - reach - 2, rect.right + reach + 2,
                              rect.bottom + reach + 2};
    return inside(near, x, y) && nearDrawn(view, figure, x, y, reach);
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
    case formdesc::kKindBarcode:
        return filter == 0; // the filter list names no barcode of its own
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

bool ItemPicker::selectAll(const formdesc::FormModel& model, int filter, Selection& selection) {
    selection.clear();
    bool all = true;
    const auto take = [&](const SelectionEntry& entry) { all = selection.add(entry) && all; };
    if (passesFilter(formdesc::kKindField, filter))
        for (int i = 0; i < model.fieldCount && all; ++i)
            take(Selection::entryFor(model.fields[std::size_t(i)], i));
    for (int i = 0; i < model.figureCount && all; ++i)
        if (passesFilter(model.figures[std::size_t(i)].kind, filter))
            take(Selection::entryFor(model.figures[std::size_t(i)], i));
    return all;
}

} // namespace editor
