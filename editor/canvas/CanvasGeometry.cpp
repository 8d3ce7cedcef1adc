#include "editor/canvas/CanvasGeometry.h"

#include <algorithm>
#include <cstdint>
#include <limits>

namespace editor {

namespace {

using Wide = std::int64_t;

int narrow(Wide value) {
    return static_cast<int>(
        std::clamp<Wide>(value, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

// One percent of a zoomed page extent, to the next whole pixel, never 0.
Wide scrollUnit(int pageExtent) {
    return std::max<Wide>(1, (Wide{pageExtent} + 99) / 100);
}

// Window position of a page coordinate.
Wide toWindow(Wide page, int zoom, int offset) {
    return Wide{zoom} * page / 100 + offset;
}

} // namespace

formdesc::PageGeometry CanvasGeometry::pageGeometry(const formdesc::FormInfo& form, int dpiX, int dpiY) {
    int width = 0;
    int height = 0;
    if (!formdesc::pageSizeTenths(form.paperSize, form.direction, width, height))
        formdesc::pageSizeTenths(formdesc::kPaperA4, form.direction, width, height);
    return formdesc::previewGeometry(width, height, form, dpiX, dpiY);
}

int CanvasGeometry::fitZoom(const formdesc::PageGeometry& page, int clientW, int clientH) {
    if (page.pageW <= 0 || page.pageH <= 0)
        return 100;
    const Wide across = std::clamp<Wide>((Wide{clientW} - 39) * 100 / page.pageW, 25, 100);
    const Wide down = (Wide{clientH} - 39) * 100 / page.pageH;
    return narrow(std::min(across, down));
}

int CanvasGeometry::resolveZoom(int requested, int fit) {
    const int value = requested == kWholePage ? fit : requested;
    return std::clamp(value, kMinZoom, kMaxZoom);
}

int CanvasGeometry::zoomed(int extent, int zoom) {
    return narrow(Wide{extent} * zoom / 100);
}

int CanvasGeometry::recomputeOffsetX(int offset, int pageExtent, int clientExtent) {
    if (pageExtent < clientExtent)
        offset = (clientExtent - pageExtent) / 2;
    if (Wide{offset} + pageExtent < 0)
        offset = kMarginPixels;
    return offset;
}

int CanvasGeometry::recomputeOffsetY(int offset, int pageExtent, int clientExtent) {
    if (Wide{pageExtent} < Wide{clientExtent} + kMarginPixels)
        offset = kMarginPixels;
    if (Wide{offset} + pageExtent < 0)
        offset = kMarginPixels;
    return offset;
}

ScrollBarState CanvasGeometry::scrollBar(int pageExtent, int clientExtent, int offset) {
    ScrollBarState bar;
    if (pageExtent < clientExtent)
        return bar;
    const Wide unit = scrollUnit(pageExtent);
    const Wide visible = Wide{pageExtent} + offset;
    bar.visible = true;
    bar.unit = narrow(unit);
    if (offset < 0 && visible > clientExtent) {
        bar.position = narrow(-Wide{offset} / unit);
        bar.page = narrow(clientExtent / unit);
    } else if (offset < 0) {
        bar.position = 100;
        bar.page = narrow(visible / unit);
    } else {
        bar.page = narrow(std::min<Wide>(pageExtent, Wide{clientExtent} - offset) / unit);
    }
    return bar;
}

int CanvasGeometry::scroll(ScrollAction action, int position, int offset, int pageExtent, int clientExtent) {
    // A page that fits has no scroll bar, so nothing moves it.
    if (pageExtent < clientExtent)
        return offset;
    const Wide unit = scrollUnit(pageExtent);
    Wide next = offset;
    switch (action) {
    case ScrollAction::LineUp:
        next += unit;
        break;
    case ScrollAction::LineDown:
        next -= unit;
        break;
    case ScrollAction::PageUp:
        next += clientExtent;
        break;
    case ScrollAction::PageDown:
        next -= clientExtent;
        break;
    case ScrollAction::ThumbPosition:
        next = position == 0 ? kMarginPixels : -unit * position;
        break;
    }
    if (next > offset)
        next = std::min<Wide>(next, kMarginPixels);
    else if (next < offset)
        next = std::max<Wide>(next, Wide{clientExtent} - kMarginPixels - pageExtent);
    return narrow(next);
}

platform::Rect CanvasGeometry::fieldBox(const formdesc::PageGeometry& page, const CellSpan& cells) {
    const formdesc::CellRect box = formdesc::cellRect(
        page, cells.row1, cells.col1, Wide{cells.row2} - cells.row1 + 1, Wide{cells.col2} - cells.col1 + 1);
    return {box.left, box.top, box.right, box.bottom};
}

platform::Rect CanvasGeometry::figureBox(const formdesc::PageGeometry& page, const CellSpan& cells) {
    const formdesc::FigurePoints points =
        formdesc::figurePoints(page, cells.col1, cells.row1, cells.col2, cells.row2);
    return {points.x1, points.y1, points.x2, points.y2};
}

platform::Rect CanvasGeometry::fieldWindowRect(const CanvasView& view, const CellSpan& cells) {
    const formdesc::PageGeometry& g = view.page;
    const Wide z = view.zoom;
    const Wide m = toWindow((Wide{cells.col1} - 1) * g.cellW + g.originX, view.zoom, view.offsetX);
    const Wide t = toWindow((Wide{cells.row1} - 1) * g.cellH + g.originY, view.zoom, view.offsetY);
    return {narrow(m - 1), narrow(t - 1),
            narrow(m + (Wide{cells.col2} - cells.col1 + 1) * z * g.cellW / 100 + 2),
            narrow(t + (Wide{cells.row2} - cells.row1 + 1) * g.cellH * z / 100 + 2)};
}

platform::Rect CanvasGeometry::figureWindowRect(const CanvasView& view, const CellSpan& cells) {
    const formdesc::PageGeometry& g = view.page;
    const Wide z = view.zoom;
    const Wide m =
        toWindow(Wide{g.cellW} * (cells.col1 - 1) + g.cellW / 2 + g.originX, view.zoom, view.offsetX);
    const Wide t = toWindow((Wide{cells.row1} - 1) * g.cellH + g.originY, view.zoom, view.offsetY);
    return {narrow(m - 1), narrow(t - 1), narrow(m + (Wide{cells.col2} - cells.col1) * z * g.cellW / 100 + 2),
            narrow(t + (Wide{cells.row2} - cells.row1 + 1) * g.cellH * z / 100 + 2)};
}

platform::Rect CanvasGeometry::lineWindowRect(const CanvasView& view, const CellSpan& cells, int course) {
    platform::Rect rect = figureWindowRect(view, cells);
    if (course == formdesc::kCourseH)
        rect.bottom = rect.top + 3;
    else if (course == formdesc::kCourseV)
        rect.right = rect.left + 3;
    return rect;
}

CellPoint CanvasGeometry::windowPointToCell(const CanvasView& view, int x, int y) {
    const formdesc::PageGeometry& g = view.page;
    const Wide zoom = std::max(view.zoom, 1);
    const Wide pageX = (Wide{x} - view.offsetX) * 100 / zoom - g.originX;
    const Wide pageY = (Wide{y} - view.offsetY) * 100 / zoom - g.originY;
    const Wide col = g.cellW > 0 ? (pageX + g.cellW - 1) / g.cellW : 1;
    const Wide row = g.cellH > 0 ? (pageY + g.cellH - 1) / g.cellH : 1;
    return {narrow(std::clamp<Wide>(col, 1, std::max(view.columns, 1))),
            narrow(std::clamp<Wide>(row, 1, std::max(view.rows, 1)))};
}

CellSpan CanvasGeometry::clampIntoGrid(const CellSpan& cells, int columns, int rows) {
    // Each edge is worked out from the span as passed in, so a span wider
    // than the grid ends at the grid's last column, keeping its width.
    CellSpan out = cells;
    if (cells.col1 <= 0) {
        out.col1 = 1;
        out.col2 = narrow(Wide{cells.col2} - cells.col1 + 1);
    }
    if (cells.row1 <= 0) {
        out.row1 = 1;
        out.row2 = narrow(Wide{cells.row2} - cells.row1 + 1);
    }
    if (cells.col2 > columns) {
        out.col1 = narrow(Wide{cells.col1} - (Wide{cells.col2} - columns));
        out.col2 = columns;
    }
    if (cells.row2 > rows) {
        out.row1 = narrow(Wide{cells.row1} - (Wide{cells.row2} - rows));
        out.row2 = rows;
    }
    return out;
}

CellSpan CanvasGeometry::spanOf(const formdesc::FieldInfo& field) {
    return {field.startCol, field.startRow, field.endCol, field.endRow};
}

CellSpan CanvasGeometry::spanOf(const formdesc::FigureInfo& figure) {
    return {figure.startCol, figure.startRow, figure.endCol, figure.endRow};
}

} // namespace editor
