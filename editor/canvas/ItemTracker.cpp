#include "editor/canvas/ItemTracker.h"

#include <QBrush>
#include <QColor>
#include <QImage>
#include <QPainter>
#include <QPen>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace editor {

namespace {

constexpr int kSize = ItemTracker::kHandleSize;

QRect toQRect(const platform::Rect& r) {
    return QRect(r.left, r.top, r.right - r.left, r.bottom - r.top);
}

bool contains(const platform::Rect& r, int x, int y) {
    return x >= r.left && x < r.right && y >= r.top && y < r.bottom;
}

bool ownsTop(TrackerHit hit) {
    return hit == TrackerHit::TopLeft || hit == TrackerHit::TopRight || hit == TrackerHit::Top;
}
bool ownsBottom(TrackerHit hit) {
    return hit == TrackerHit::BottomRight || hit == TrackerHit::BottomLeft || hit == TrackerHit::Bottom;
}
bool ownsLeft(TrackerHit hit) {
    return hit == TrackerHit::TopLeft || hit == TrackerHit::BottomLeft || hit == TrackerHit::Left;
}
bool ownsRight(TrackerHit hit) {
    return hit == TrackerHit::TopRight || hit == TrackerHit::BottomRight || hit == TrackerHit::Right;
}

platform::Rect unite(const platform::Rect& a, const platform::Rect& b) {
    return {std::min(a.left, b.left), std::min(a.top, b.top), std::max(a.right, b.right),
            std::max(a.bottom, b.bottom)};
}

} // namespace

platform::Rect normalized(const platform::Rect& r) {
    return {std::min(r.left, r.right), std::min(r.top, r.bottom), std::max(r.left, r.right),
            std::max(r.top, r.bottom)};
}

platform::Rect gridWindowRect(const CanvasView& view) {
    return CanvasGeometry::fieldWindowRect(view, {1, 1, view.columns, view.rows});
}

unsigned ItemTracker::handleMask(const platform::Rect& rect) {
    unsigned mask = 0x0F;
    if (std::abs(rect.right - rect.left) > kSize)
        mask |= (1u << int(TrackerHit::Top)) | (1u << int(TrackerHit::Bottom));
    if (std::abs(rect.bottom - rect.top) > kSize)
        mask |= (1u << int(TrackerHit::Left)) | (1u << int(TrackerHit::Right));
    return mask;
}

platform::Rect ItemTracker::handleRect(const platform::Rect& rect, TrackerHit handle) {
    const platform::Rect r = normalized(rect);
    const int midX = (r.left + r.right) / 2 - kSize / 2;
    const int midY = (r.top + r.bottom) / 2 - kSize / 2;
    switch (handle) {
    case TrackerHit::TopLeft:
        return {r.left - kSize, r.top - kSize, r.left, r.top};
    case TrackerHit::TopRight:
        return {r.right, r.top - kSize, r.right + kSize, r.top};
    case TrackerHit::BottomRight:
        return {r.right, r.bottom, r.right + kSize, r.bottom + kSize};
    case TrackerHit::BottomLeft:
        return {r.left - kSize, r.bottom, r.left, r.bottom + kSize};
    case TrackerHit::Top:
        return {midX, r.top - kSize, midX + kSize, r.top};
    case TrackerHit::Right:
        return {r.right, midY, r.right + kSize, midY + kSize};
    case TrackerHit::Bottom:
        return {midX, r.bottom, midX + kSize, r.bottom + kSize};
    case TrackerHit::Left:
        return {r.left - kSize, midY, r.left, midY + kSize};
    default:
        return {};
    }
}

platform::Rect ItemTracker::trueRect(const platform::Rect& rect) {
    const platform::Rect r = normalized(rect);
    return {r.left - kSize, r.top - kSize, r.right + kSize, r.bottom + kSize};
}

TrackerHit ItemTracker::hitTest(const platform::Rect& rect, int x, int y) {
    if (!contains(trueRect(rect), x, y))
        return TrackerHit::Nothing;
    const unsigned mask = handleMask(rect);
    for (int handle = 0; handle < 8; ++handle)
        if ((mask & (1u << handle)) && contains(handleRect(rect, TrackerHit(handle)), x, y))
            return TrackerHit(handle);
    return TrackerHit::Middle;
}

platform::Rect ItemTracker::windowRect(const CanvasView& view, const SelectionEntry& entry) {
    switch (entry.kind) {
    case formdesc::kKindField:
        return CanvasGeometry::fieldWindowRect(view, entry.cells);
    case formdesc::kKindLine:
        return CanvasGeometry::lineWindowRect(view, entry.cells, entry.course);
    default:
        return CanvasGeometry::figureWindowRect(view, entry.cells);
    }
}

namespace {

// The marks of selected items: hatched borders, then black handles.
struct MarkShapes {
    std::vector<QRect> borders;
    std::vector<QRect> handles;
};

MarkShapes markShapes(std::span<const platform::Rect> rects) {
    MarkShapes shapes;
    shapes.borders.reserve(rects.size() * 4);
    shapes.handles.reserve(rects.size() * 8);
    for (const platform::Rect& rect : rects) {
        const platform::Rect r = normalized(rect);
        const int w = r.right - r.left;
        const int h = r.bottom - r.top;
        shapes.borders.emplace_back(r.left - kSize, r.top - kSize, w + 2 * kSize, kSize);
        shapes.borders.emplace_back(r.left - kSize, r.bottom, w + 2 * kSize, kSize);
        shapes.borders.emplace_back(r.left - kSize, r.top, kSize, h);
        shapes.borders.emplace_back(r.right, r.top, kSize, h);
        const unsigned mask = ItemTracker::handleMask(rect);
        for (int handle = 0; handle < 8; ++handle)
            if (mask & (1u << handle))
                shapes.handles.push_back(toQRect(ItemTracker::handleRect(rect, TrackerHit(handle))));
    }
    return shapes;
}

QBrush hatchBrush() {
    return QBrush(Qt::black, Qt::BDiagPattern);
}

// Which pixels of an 8 x 8 square the painter's hatch blackens, as it
// draws the brush from the image's corner: taken from the painter itself.
struct Hatch {
    std::uint8_t rows[8] = {};

    Hatch() {
        QImage square(8, 8, QImage::Format_RGB32);
        square.fill(Qt::white);
        QPainter painter(&square);
        painter.fillRect(square.rect(), hatchBrush());
        painter.end();
        for (int y = 0; y < 8; ++y)
            for (int x = 0; x < 8; ++x)
                if (square.pixel(x, y) != QColor(Qt::white).rgb())
                    rows[y] |= std::uint8_t(1u << x);
    }
};

// Black in the pixels of box the row mask picks (all of them without one).
void blacken(QImage& image, const QRect& box, const Hatch* hatch) {
    const QRect inside = box & image.rect();
    if (inside.isEmpty())
        return;
    constexpr QRgb kBlack = 0xFF000000;
    for (int y = inside.top(); y <= inside.bottom(); ++y) {
        auto* line = reinterpret_cast<QRgb*>(image.scanLine(y));
        if (!hatch) {
            std::fill(line + inside.left(), line + inside.right() + 1, kBlack);
            continue;
        }
        const unsigned row = hatch->rows[y & 7];
        for (int bit = 0; bit < 8; ++bit) {
            if (!(row & (1u << bit)))
                continue;
            for (int x = inside.left() + ((bit - inside.left()) & 7); x <= inside.right(); x += 8)
                line[x] = kBlack;
        }
    }
}

} // namespace

void ItemTracker::drawMarks(QPainter& painter, std::span<const platform::Rect> rects) {
    // One brush for all the borders and one for all the handles: the
    // painter prepares a brush again each time it changes.
    const MarkShapes shapes = markShapes(rects);
    const QBrush hatch = hatchBrush();
    for (const QRect& box : shapes.borders)
        painter.fillRect(box, hatch);
    const QBrush black(Qt::black);
    for (const QRect& box : shapes.handles)
        painter.fillRect(box, black);
}

bool ItemTracker::drawMarks(QImage& image, std::span<const platform::Rect> rects, const QRect& band) {
    if (image.format() != QImage::Format_RGB32)
        return false;
    static const Hatch hatch;
    const QRect within = band.isNull() ? image.rect() : band & image.rect();
    const MarkShapes shapes = markShapes(rects);
    for (const QRect& box : shapes.borders)
        blacken(image, box & within, &hatch);
    for (const QRect& box : shapes.handles)
        blacken(image, box & within, nullptr);
    return true;
}

void ItemTracker::drawDragOutline(QPainter& painter, const platform::Rect& rect) {
    const platform::Rect r = normalized(rect);
    painter.save();
    painter.setBrush(Qt::NoBrush);
    painter.setPen(QPen(Qt::black, 1, Qt::DotLine));
    painter.drawRect(
        QRect(r.left, r.top, std::max(r.right - r.left - 1, 0), std::max(r.bottom - r.top - 1, 0)));
    painter.restore();
}

ItemTracker ItemTracker::rubberBand(const CanvasView& view, int x, int y) {
    ItemTracker tracker;
    tracker.m_pressX = x;
    tracker.m_pressY = y;
    tracker.m_startRect = tracker.m_rect = {x, y, x, y};
    const CellPoint cell = CanvasGeometry::windowPointToCell(view, x, y);
    tracker.m_startCells = tracker.m_cells = {cell.col, cell.row, cell.col, cell.row};
    return tracker;
}

ItemTracker ItemTracker::moveOrResize(const CanvasView& view, const Selection& selection, int entry,
                                      TrackerHit hit, int x, int y) {
    ItemTracker tracker;
    tracker.m_hit = hit;
    tracker.m_entry = entry;
    tracker.m_pressX = x;
    tracker.m_pressY = y;
    const auto entries = selection.entries();
    if (hit == TrackerHit::Middle) {
        platform::Rect rect = windowRect(view, entries.front());
        for (const SelectionEntry& e : entries)
            rect = unite(rect, windowRect(view, e));
        tracker.m_rect = rect;
        tracker.m_cells = selection.bounds();
    } else {
        tracker.m_rect = windowRect(view, entries[std::size_t(entry)]);
        tracker.m_kind = entries[std::size_t(entry)].kind;
        tracker.m_cells = entries[std::size_t(entry)].cells;
    }
    tracker.m_startRect = tracker.m_rect;
    tracker.m_startCells = tracker.m_cells;
    return tracker;
}

ItemTracker::CellChange ItemTracker::track(const CanvasView& view, int x, int y) {
    const CellSpan before = m_cells;
    if (isRubberBand()) {
        m_rect = {m_pressX, m_pressY, x, y};
        adjustRubberBand(view);
        m_dragged = m_rect.right != m_rect.left || m_rect.bottom != m_rect.top;
    } else {
        const int dx = x - m_pressX;
        const int dy = y - m_pressY;
        platform::Rect r = m_startRect;
        if (m_hit == TrackerHit::Middle) {
            r = {r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
        } else {
            if (ownsLeft(m_hit))
                r.left += dx;
            if (ownsRight(m_hit))
                r.right += dx;
            if (ownsTop(m_hit))
                r.top += dy;
            if (ownsBottom(m_hit))
                r.bottom += dy;
        }
        m_rect = r;
        adjustMoveOrResize(view);
        m_dragged = m_cells != m_startCells;
    }
    CellChange change;
    change.first = before.col1 != m_cells.col1 || before.row1 != m_cells.row1;
    change.last = before.col2 != m_cells.col2 || before.row2 != m_cells.row2;
    return change;
}

void ItemTracker::adjustRubberBand(const CanvasView& view) {
    const platform::Rect grid = gridWindowRect(view);
    m_rect.left = std::clamp(m_rect.left, grid.left, grid.right);
    m_rect.right = std::clamp(m_rect.right, grid.left, grid.right);
    m_rect.top = std::clamp(m_rect.top, grid.top, grid.bottom);
    m_rect.bottom = std::clamp(m_rect.bottom, grid.top, grid.bottom);
    const platform::Rect n = normalized(m_rect);
    const CellPoint first = CanvasGeometry::windowPointToCell(view, n.left, n.top);
    const CellPoint last = CanvasGeometry::windowPointToCell(view, n.right, n.bottom);
    m_cells = {first.col, first.row, last.col, last.row};
}

void ItemTracker::adjustMoveOrResize(const CanvasView& view) {
    // Shifted, never resized, back inside the grid; every test looks at the
    // rectangle as it was proposed.
    const platform::Rect grid = gridWindowRect(view);
    const platform::Rect proposed = m_rect;
    int dx = 0;
    int dy = 0;
    if (proposed.left < grid.left)
        dx += grid.left - proposed.left;
    if (proposed.top < grid.top)
        dy += grid.top - proposed.top;
    if (proposed.right > grid.right)
        dx -= proposed.right - grid.right;
    if (proposed.bottom > grid.bottom)
        dy -= proposed.bottom - grid.bottom;
    m_rect = {proposed.left + dx, proposed.top + dy, proposed.right + dx, proposed.bottom + dy};

    const platform::Rect n = normalized(m_rect);
    CellSpan cells = m_cells;
    if (m_hit == TrackerHit::Middle) {
        const CellPoint first = CanvasGeometry::windowPointToCell(view, n.left + 2, n.top + 2);
        cells = {first.col, first.row, first.col + (m_cells.col2 - m_cells.col1),
                 first.row + (m_cells.row2 - m_cells.row1)};
        cells = CanvasGeometry::clampIntoGrid(cells, view.columns, view.rows);
    } else {
        // Each dragged edge snaps to the nearest grid line. The window
        // rectangle lies one pixel outside an item's first cell and two
        // outside its last; a figure runs across from the middle of its first
        // column to the middle of its last, so those two edges already sit
        // half a cell from the lines.
        const int halfW = std::max(view.page.cellW * view.zoom / 100 / 2, 0);
        const int halfH = std::max(view.page.cellH * view.zoom / 100 / 2, 0);
        const bool field = m_kind == formdesc::kKindField;
        const CellPoint first =
            CanvasGeometry::windowPointToCell(view, n.left + 1 + (field ? halfW : 0), n.top + 1 + halfH);
        const CellPoint last =
            CanvasGeometry::windowPointToCell(view, n.right - 2 - (field ? halfW : 0), n.bottom - 2 - halfH);
        if (ownsTop(m_hit))
            cells.row1 = std::min(first.row, m_cells.row2);
        if (ownsBottom(m_hit))
            cells.row2 = std::max(last.row, m_cells.row1);
        if (ownsLeft(m_hit))
            cells.col1 = std::min(first.col, m_cells.col2);
        if (ownsRight(m_hit))
            cells.col2 = std::max(last.col, m_cells.col1);
    }
    m_cells = cells;
}

void ItemTracker::finishRubberBand(const CanvasView& view) {
    // A band dragged downward from inside a row starts on the row below.
    const CellPoint cell = CanvasGeometry::windowPointToCell(view, m_rect.left, m_rect.top);
    const platform::Rect one =
        CanvasGeometry::fieldWindowRect(view, {cell.col, cell.row, cell.col, cell.row});
    if (m_rect.top > one.top && m_rect.bottom > one.bottom && m_cells.row1 < m_cells.row2)
        ++m_cells.row1;
}

} // namespace editor
