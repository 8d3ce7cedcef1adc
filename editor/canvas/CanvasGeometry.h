#pragma once

#include "formdesc/FormModel.h"
#include "formdesc/PageGeometry.h"
#include "platform/DeviceContext.h"

// The canvas's arithmetic, free of any window: the page on the screen, the
// zoom and its whole-page value, where the page sits in the window and how
// the scroll bars follow it, and the conversions between grid cells and
// window pixels that drawing, hit-testing and the editing tools share. All
// of it is integer arithmetic with truncation, in the order written below.
namespace editor {

// Cells from (col1, row1) to (col2, row2), both corners included, counted from 1.
struct CellSpan {
    int col1 = 0;
    int row1 = 0;
    int col2 = 0;
    int row2 = 0;
    bool operator==(const CellSpan&) const = default;
};

struct CellPoint {
    int col = 0;
    int row = 0;
    bool operator==(const CellPoint&) const = default;
};

// Where the page is and how large it is drawn: the grid in page pixels at
// 100 %, the zoom, and the window position of the page's top-left corner.
struct CanvasView {
    formdesc::PageGeometry page;
    int columns = 1;
    int rows = 1;
    int zoom = 100;
    int offsetX = 20;
    int offsetY = 20;
};

// Whether two views put every pixel of the page in the same place.
inline bool samePlacement(const CanvasView& a, const CanvasView& b) {
    const formdesc::PageGeometry& p = a.page;
    const formdesc::PageGeometry& q = b.page;
    return p.cellW == q.cellW && p.cellH == q.cellH && p.originX == q.originX && p.originY == q.originY &&
           p.pageW == q.pageW && p.pageH == q.pageH && a.columns == b.columns && a.rows == b.rows &&
           a.zoom == b.zoom && a.offsetX == b.offsetX && a.offsetY == b.offsetY;
}

// One scroll bar: hidden when the page fits, otherwise a 0..100 range in
// units of one percent of the zoomed page.
struct ScrollBarState {
    bool visible = false;
    int unit = 1;
    int position = 0;
    int page = 0;
    bool operator==(const ScrollBarState&) const = default;
};

enum class ScrollAction { LineUp, LineDown, PageUp, PageDown, ThumbPosition };

class CanvasGeometry {
  public:
    static constexpr int kMinZoom = 50;
    static constexpr int kMaxZoom = 200;
    static constexpr int kWholePage = -1;
    // Distance of the page from the window's top and left edges at the start.
    static constexpr int kMarginPixels = 20;

    // The page and its grid at 100 % for a screen of dpiX x dpiY dots per
    // inch: the runtime preview's geometry. A paper code the model does not
    // know is drawn as A4 in the form's direction.
    static formdesc::PageGeometry pageGeometry(const formdesc::FormInfo& form, int dpiX, int dpiY);

    // The zoom that shows the whole page in a client area of clientW x clientH.
    static int fitZoom(const formdesc::PageGeometry& page, int clientW, int clientH);
    // A requested zoom (or kWholePage) as the canvas takes it: 50..200.
    static int resolveZoom(int requested, int fit);

    // The page's extent at a zoom.
    static int zoomed(int extent, int zoom);

    // The offsets after the page, zoom or window size changed: a page that
    // fits across is centred, one that fits down starts 20 pixels from the
    // top, and a page scrolled wholly out of sight comes back to 20.
    static int recomputeOffsetX(int offset, int pageExtent, int clientExtent);
    static int recomputeOffsetY(int offset, int pageExtent, int clientExtent);

    // One scroll bar for a zoomed page extent, the client extent and the offset.
    static ScrollBarState scrollBar(int pageExtent, int clientExtent, int offset);

    // The offset after a scroll request; position is the thumb's for
    // ThumbPosition. Scrolling stops 20 pixels past either end of the page;
    // a page that fits in the window does not scroll.
    static int scroll(ScrollAction action, int position, int offset, int pageExtent, int clientExtent);

    // Full-cell box of a field and centre-line box of a figure, in page pixels.
    static platform::Rect fieldBox(const formdesc::PageGeometry& page, const CellSpan& cells);
    static platform::Rect figureBox(const formdesc::PageGeometry& page, const CellSpan& cells);

    // Window rectangles used for selection marks and hit-testing: one pixel
    // around a field, a figure, or (for a horizontal or vertical course) a
    // band three pixels wide along a line.
    static platform::Rect fieldWindowRect(const CanvasView& view, const CellSpan& cells);
    static platform::Rect figureWindowRect(const CanvasView& view, const CellSpan& cells);
    static platform::Rect lineWindowRect(const CanvasView& view, const CellSpan& cells, int course);

    // The cell under a window point, clamped into the grid; a point on a
    // grid line belongs to the cell before it.
    static CellPoint windowPointToCell(const CanvasView& view, int x, int y);

    // A cell span moved back into a grid of columns x rows, its size kept;
    // one larger than the grid ends at the last column or row.
    static CellSpan clampIntoGrid(const CellSpan& cells, int columns, int rows);

    static CellSpan spanOf(const formdesc::FieldInfo& field);
    static CellSpan spanOf(const formdesc::FigureInfo& figure);
};

} // namespace editor
