#pragma once

#include "editor/canvas/CanvasGeometry.h"
#include "editor/canvas/Selection.h"

#include <QRect>

#include <optional>
#include <span>

class QImage;
class QPainter;

// The rectangle tracker of the editing tools: the marks around a selected
// item (a hatched border with eight handles outside it), which part of them a
// point hits, and one drag (a rubber band, or moving or resizing the
// selection) with the canvas's snapping to whole cells. Window coordinates;
// no window behind it, so the rules are tested directly.
namespace editor {

enum class TrackerHit {
    Nothing = -1,
    TopLeft = 0,
    TopRight = 1,
    BottomRight = 2,
    BottomLeft = 3,
    Top = 4,
    Right = 5,
    Bottom = 6,
    Left = 7,
    Middle = 8,
};

class ItemTracker {
  public:
    static constexpr int kHandleSize = 4;

    // Which handles a rectangle shows, bit n for TrackerHit n: the corners
    // always, the top and bottom middles when it is wider than a handle, the
    // left and right middles when it is taller.
    static unsigned handleMask(const platform::Rect& rect);
    // A handle's square, just outside the rectangle.
    static platform::Rect handleRect(const platform::Rect& rect, TrackerHit handle);
    // The rectangle with its border and handles: the area a press can hit.
    static platform::Rect trueRect(const platform::Rect& rect);
    static TrackerHit hitTest(const platform::Rect& rect, int x, int y);

    // The window rectangle of a selection entry by its kind.
    static platform::Rect windowRect(const CanvasView& view, const SelectionEntry& entry);
    // The marks of selected items: hatched borders and handles.
    static void drawMarks(QPainter& painter, std::span<const platform::Rect> rects);
    // The same pixels written straight into an image of 32-bit pixels drawn
    // with no scaling, the hatch lined up with its corner as the painter
    // lines it up with the window's: far faster than the painter's pattern
    // fills for many items. False (nothing drawn) for another format.
    // Within a band of the image only, when one is given: threads may
    // share an image by bands.
    static bool drawMarks(QImage& image, std::span<const platform::Rect> rects, const QRect& band = QRect());
    // The dotted outline of a drag in progress.
    static void drawDragOutline(QPainter& painter, const platform::Rect& rect);

    // A rubber band started at a press point: its cells are that point's cell.
    static ItemTracker rubberBand(const CanvasView& view, int x, int y);
    // Moving the whole selection (Middle) or resizing one entry (a handle).
    static ItemTracker moveOrResize(const CanvasView& view, const Selection& selection, int entry,
                                    TrackerHit hit, int x, int y);

    // The mouse is at (x, y): the dragged rectangle follows it and the cells
    // snap. Answers whether the first or the last cell changed.
    struct CellChange {
        bool first = false;
        bool last = false;
    };
    CellChange track(const CanvasView& view, int x, int y);
    // The end of a rubber band: the one-row correction of a downward drag.
    void finishRubberBand(const CanvasView& view);

    bool isRubberBand() const { return m_hit == TrackerHit::Nothing; }
    TrackerHit hit() const { return m_hit; }
    int entryIndex() const { return m_entry; }
    int pressX() const { return m_pressX; }
    int pressY() const { return m_pressY; }
    // The band as tracked (not normalised), and its cells.
    const platform::Rect& rect() const { return m_rect; }
    const CellSpan& cells() const { return m_cells; }
    const CellSpan& startCells() const { return m_startCells; }
    // True once the mouse has moved the rectangle off where it started.
    bool dragged() const { return m_dragged; }

  private:
    void adjustRubberBand(const CanvasView& view);
    void adjustMoveOrResize(const CanvasView& view);

    TrackerHit m_hit = TrackerHit::Nothing;
    int m_entry = -1;
    int m_kind = 0;
    int m_pressX = 0;
    int m_pressY = 0;
    platform::Rect m_startRect{};
    platform::Rect m_rect{};
    CellSpan m_startCells;
    CellSpan m_cells;
    bool m_dragged = false;
};

// The whole grid's window rectangle (cells 1, 1 to columns, rows).
platform::Rect gridWindowRect(const CanvasView& view);
platform::Rect normalized(const platform::Rect& rect);

} // namespace editor
