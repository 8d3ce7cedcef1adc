#include "editor/canvas/RegionRedraw.h"

#include <QThread>

#include <algorithm>
#include <cstdint>
#include <optional>

#include "editor/canvas/LaneThread.h"
#include "editor/canvas/MeasuringBackend.h"
#include "render/BarcodeCache.h"

namespace editor {

namespace {

// Boxes of one item before and after that lie this close are redrawn as
// one: an arrow step moves an item by a cell, and one box costs less than two.
constexpr int kJoinDistance = 16;

// The buffer in square tiles: the tiles the changed boxes reach are
// rendered again, in runs along each row of tiles, each run's clip
// rectangle shrunk to what the boxes cover of it. Tiles keep the rectangles
// few and whole; what a run covers beyond the boxes is rendered to the same
// pixels it had.
class Tiles {
  public:
    static constexpr int kTile = 32;

    Tiles(QSize size, const std::vector<QRect>& boxes)
        : m_size(size), m_columns((size.width() + kTile - 1) / kTile),
          m_rows((size.height() + kTile - 1) / kTile),
          m_run(std::size_t(m_columns) * std::size_t(m_rows), kNone) {
        std::vector<std::uint8_t> marked(m_run.size(), 0);
        for (const QRect& box : boxes)
            forTiles(box, [&](std::size_t tile) { marked[tile] = 1; });
        for (int r = 0; r < m_rows; ++r) {
            for (int c = 0; c < m_columns;) {
                if (!marked[index(c, r)]) {
                    ++c;
                    continue;
                }
                while (c < m_columns && marked[index(c, r)])
                    m_run[index(c++, r)] = int(m_parts.size());
                m_parts.push_back({QRect(), {}, {}});
            }
        }
        // Each run shrinks to what the boxes cover of it.
        for (const QRect& box : boxes)
            forTiles(box, [&](std::size_t tile) {
                QRect& rect = m_parts[std::size_t(m_run[tile])].rect;
                rect |= box & tileRect(tile);
            });
    }

    // Names the item in every part its box reaches, once each.
    void place(const QRect& box, int item, bool field) {
        int last = kNone;
        forTiles(box, [&](std::size_t tile) {
            const int run = m_run[tile];
            // Runs are met row by row, left to right: a repeat is the run just named.
            if (run == kNone || run == last || !box.intersects(m_parts[std::size_t(run)].rect))
                return;
            last = run;
            std::vector<int>& items =
                field ? m_parts[std::size_t(run)].fields : m_parts[std::size_t(run)].figures;
            if (items.empty() || items.back() != item)
                items.push_back(item);
        });
    }

    std::vector<CanvasRenderer::RegionPart>& parts() { return m_parts; }

  private:
    static constexpr int kNone = -1;

    std::size_t index(int c, int r) const { return std::size_t(r) * std::size_t(m_columns) + std::size_t(c); }
    QRect tileRect(std::size_t tile) const {
        const int c = int(tile % std::size_t(m_columns));
        const int r = int(tile / std::size_t(m_columns));
        return QRect(c * kTile, r * kTile, kTile, kTile) & QRect(QPoint(0, 0), m_size);
    }

    template <typename Visit> void forTiles(const QRect& box, Visit&& visit) const {
        const QRect inside = box & QRect(QPoint(0, 0), m_size);
        if (inside.isEmpty())
            return;
        for (int r = inside.top() / kTile; r <= inside.bottom() / kTile; ++r)
            for (int c = inside.left() / kTile; c <= inside.right() / kTile; ++c)
                visit(index(c, r));
    }

    QSize m_size;
    int m_columns;
    int m_rows;
    std::vector<int> m_run;
    std::vector<CanvasRenderer::RegionPart> m_parts;
};

// The parts of box outside visible: up to four bands around it.
void outside(const QRect& box, const QRect& visible, std::vector<QRect>& out) {
    if (!box.intersects(visible)) {
        if (!box.isEmpty())
            out.push_back(box);
        return;
    }
    const QRect bands[] = {
        QRect(QPoint(box.left(), box.top()), QPoint(box.right(), visible.top() - 1)),
        QRect(QPoint(box.left(), visible.bottom() + 1), QPoint(box.right(), box.bottom())),
        QRect(QPoint(box.left(), std::max(box.top(), visible.top())),
              QPoint(visible.left() - 1, std::min(box.bottom(), visible.bottom()))),
        QRect(QPoint(visible.right() + 1, std::max(box.top(), visible.top())),
              QPoint(box.right(), std::min(box.bottom(), visible.bottom()))),
    };
    for (const QRect& band : bands)
        if (const QRect part = band & box; !part.isEmpty())
            out.push_back(part);
}

// Threads a region render uses at most: past a few, the shares are too
// small to pay for another thread.
constexpr int kMostLanes = 4;

// Fewer items to measure than this are measured on the GUI thread alone.
constexpr std::size_t kMeasuresForAThread = 64;

// Stamps of the resolution, made anew when it changed.
platform::Stamps& stampsOf(std::optional<platform::Stamps>& kept, int dpiY) {
    if (!kept || kept->dpiY() != dpiY)
        kept.emplace(dpiY);
    return *kept;
}

} // namespace

// The measuring device and the barcode symbols stay on the thread, from
// render to render, and are let go there: fonts belong to the thread that
// loads them.
struct RegionRedraw::Lane {
    LaneThread thread;
    std::optional<MeasuringBackend> measure;
    std::optional<platform::Stamps> stamps;
    render::BarcodeCache barcodes;

    ~Lane() {
        thread.start([this] {
            measure.reset();
            stamps.reset();
        });
        thread.wait();
    }

    // A device of the resolution of like, the one prepared on the GUI thread.
    MeasuringBackend& measurer(const MeasuringBackend& like) {
        if (!measure || measure->dpiX() != like.dpiX() || measure->dpiY() != like.dpiY())
            measure.emplace(like.dpiX(), like.dpiY());
        return *measure;
    }
};

RegionRedraw::RegionRedraw() {
    static const int lanes = std::clamp(QThread::idealThreadCount(), 1, kMostLanes);
    for (int i = 1; i < lanes; ++i)
        m_lanes.push_back(std::make_unique<Lane>());
}

RegionRedraw::~RegionRedraw() = default;

void RegionRedraw::shareRows(int height, const std::function<void(int, int)>& work) {
    const int half = height / 2;
    if (m_lanes.empty() || half < 64) {
        work(0, height);
        return;
    }
    LaneThread& lane = m_lanes.front()->thread;
    lane.start([&] { work(half, height); });
    work(0, half);
    lane.wait();
}

platform::Stamps& RegionRedraw::stamps(const CanvasRenderer::Inputs& inputs, double scale) {
    return stampsOf(m_stamps, CanvasRenderer::deviceDpi(inputs.dpiY, scale));
}

std::vector<QRect> RegionRedraw::boxesOf(const CanvasRenderer::Inputs& inputs, double scale,
                                         std::span<const SelectionEntry> entries) {
    m_extents.prepare(inputs, scale);
    measureUnknown(inputs, scale, entries);
    std::vector<QRect> boxes;
    boxes.reserve(entries.size());
    for (const SelectionEntry& entry : entries)
        boxes.push_back(entry.kind == formdesc::kKindField ? m_extents.field(entry.index)
                                                           : m_extents.figure(entry.index));
    return boxes;
}

void RegionRedraw::measureUnknown(const CanvasRenderer::Inputs& inputs, double scale,
                                  std::span<const SelectionEntry> entries) {
    std::vector<const SelectionEntry*> unknown;
    for (const SelectionEntry& entry : entries)
        if (!m_extents.knows(entry.kind, entry.index))
            unknown.push_back(&entry);
    if (m_lanes.empty() || unknown.size() < kMeasuresForAThread)
        return;
    // The second half on another thread, with steps and a device of its own.
    const std::size_t half = unknown.size() / 2;
    std::vector<QRect> theirs(unknown.size() - half);
    Lane& lane = *m_lanes.front();
    const MeasuringBackend& own = m_extents.measurer();
    lane.thread.start([&] {
        ItemExtents::Steps steps(lane.measurer(own), inputs, scale, &lane.barcodes);
        for (std::size_t i = half; i < unknown.size(); ++i) {
            const SelectionEntry& entry = *unknown[i];
            theirs[i - half] = entry.kind == formdesc::kKindField
                                   ? steps.field(inputs.model.fields[std::size_t(entry.index)])
                                   : steps.figure(inputs.model.figures[std::size_t(entry.index)]);
        }
    });
    for (std::size_t i = 0; i < half; ++i) {
        const SelectionEntry& entry = *unknown[i];
        if (entry.kind == formdesc::kKindField)
            m_extents.field(entry.index);
        else
            m_extents.figure(entry.index);
    }
    lane.thread.wait();
    for (std::size_t i = half; i < unknown.size(); ++i)
        m_extents.keep(unknown[i]->kind, unknown[i]->index, theirs[i - half]);
}

void RegionRedraw::add(const std::vector<QRect>& before, const std::vector<QRect>& after,
                       const CanvasView& view, double scale) {
    if (pending() && (!samePlacement(view, m_view) || scale != m_scale))
        m_mixedViews = true;
    m_view = view;
    m_scale = scale;
    const std::size_t n = std::max(before.size(), after.size());
    for (std::size_t i = 0; i < n; ++i) {
        const QRect old = i < before.size() ? before[i] : QRect();
        const QRect now = i < after.size() ? after[i] : QRect();
        const QRect near = old.adjusted(-kJoinDistance, -kJoinDistance, kJoinDistance, kJoinDistance);
        if (!old.isEmpty() && !now.isEmpty() && near.intersects(now)) {
            m_boxes.push_back(old | now);
            continue;
        }
        if (!old.isEmpty())
            m_boxes.push_back(old);
        if (!now.isEmpty())
            m_boxes.push_back(now);
    }
    // Nothing drawn before or after still asks for a paint, which then draws nothing.
    if (m_boxes.empty())
        m_boxes.push_back(QRect());
}

void RegionRedraw::forget() {
    m_boxes.clear();
    m_waiting.clear();
    m_mixedViews = false;
}

void RegionRedraw::Waiting::add(const QRect& box, QSize buffer) {
    if (buffer != m_buffer) {
        clear();
        m_buffer = buffer;
        m_columns = (buffer.width() + kTile - 1) / kTile;
        m_tiles.assign(std::size_t(m_columns) * std::size_t((buffer.height() + kTile - 1) / kTile), QRect());
    }
    const QRect inside = box & QRect(QPoint(0, 0), buffer);
    if (inside.isEmpty())
        return;
    for (int r = inside.top() / kTile; r <= inside.bottom() / kTile; ++r)
        for (int c = inside.left() / kTile; c <= inside.right() / kTile; ++c) {
            QRect& tile = m_tiles[std::size_t(r) * std::size_t(m_columns) + std::size_t(c)];
            m_count += tile.isEmpty();
            tile |= inside & QRect(c * kTile, r * kTile, kTile, kTile);
        }
}

void RegionRedraw::Waiting::takeShown(const QRect& visible, std::vector<QRect>& out) {
    if (m_count == 0)
        return;
    // A tile partly shown is rendered whole, hidden pixels too: what stays
    // waiting is then always wholly hidden.
    for (QRect& tile : m_tiles)
        if (!tile.isEmpty() && tile.intersects(visible)) {
            out.push_back(tile);
            tile = QRect();
            --m_count;
        }
}

void RegionRedraw::Waiting::clear() {
    std::fill(m_tiles.begin(), m_tiles.end(), QRect());
    m_count = 0;
}

bool RegionRedraw::render(QImage& buffer, const CanvasRenderer::Inputs& inputs, const QRect& shown) {
    const double scale = buffer.devicePixelRatio();
    if (m_mixedViews || !samePlacement(m_view, inputs.view) || scale != m_scale) {
        forget();
        return false;
    }
    // What the window shows now is rendered; the rest of each box waits
    // until a larger window shows it (or a full render makes it needless).
    const QRect visible = shown & QRect(QPoint(0, 0), buffer.size());
    std::vector<QRect> boxes;
    std::vector<QRect> hidden;
    for (const QRect& box : m_boxes) {
        if (const QRect inside = box & visible; !inside.isEmpty())
            boxes.push_back(inside);
        outside(box, visible, hidden);
    }
    m_boxes.clear();
    for (const QRect& box : hidden)
        m_waiting.add(box, buffer.size());
    m_waiting.takeShown(visible, boxes);
    if (boxes.empty())
        return true;

    if (m_grid.size() != buffer.size() || !samePlacement(m_gridView, inputs.view) || m_gridScale != scale ||
        m_gridDpiX != inputs.dpiX || m_gridDpiY != inputs.dpiY) {
        m_grid = CanvasRenderer::renderGridLayer(buffer.size(), scale, inputs);
        m_gridView = inputs.view;
        m_gridScale = scale;
        m_gridDpiX = inputs.dpiX;
        m_gridDpiY = inputs.dpiY;
    }

    m_extents.prepare(inputs, scale);
    Tiles tiles(buffer.size(), boxes);
    for (int i = 0; i < inputs.model.fieldCount; ++i)
        tiles.place(m_extents.field(i), i, true);
    for (int i = 0; i < inputs.model.figureCount; ++i)
        tiles.place(m_extents.figure(i), i, false);
    if (!renderShares(buffer, inputs, tiles.parts())) {
        forget();
        return false;
    }
    ++m_renders;
    return true;
}

bool RegionRedraw::renderShares(QImage& buffer, const CanvasRenderer::Inputs& inputs,
                                std::span<const CanvasRenderer::RegionPart> parts) {
    const double scale = buffer.devicePixelRatio();
    CanvasRenderer::RegionParts handed(parts);
    const std::size_t threads = std::size_t(handed.threadsWorth(int(m_lanes.size()) + 1));
    uchar* const pixels = buffer.bits();
    const auto surface = [&] {
        return QImage(pixels, buffer.width(), buffer.height(), buffer.bytesPerLine(), buffer.format());
    };
    MeasuringBackend& own = m_extents.measurer();
    std::vector<char> drawn(threads, 0);
    for (std::size_t i = 1; i < threads; ++i) {
        Lane& lane = *m_lanes[i - 1];
        lane.thread.start([&, i] {
            QImage view = surface();
            MeasuringBackend& measure = lane.measurer(own);
            platform::Stamps& stamps = stampsOf(lane.stamps, CanvasRenderer::deviceDpi(inputs.dpiY, scale));
            drawn[i] = CanvasRenderer::renderRegion(view, scale, inputs, handed, m_grid, measure, &stamps,
                                                    &lane.barcodes);
        });
    }
    QImage view = surface();
    drawn[0] = CanvasRenderer::renderRegion(view, scale, inputs, handed, m_grid, own, &stamps(inputs, scale));
    for (std::size_t i = 1; i < threads; ++i)
        m_lanes[i - 1]->thread.wait();
    return std::all_of(drawn.begin(), drawn.end(), [](char ok) { return ok != 0; });
}

} // namespace editor
