#pragma once

#include <QImage>
#include <QRect>

#include <functional>
#include <memory>
#include <optional>
#include <span>
#include <vector>

#include "editor/canvas/CanvasRenderer.h"
#include "editor/canvas/ItemExtents.h"
#include "editor/canvas/Selection.h"
#include "platform/Stamps.h"

// Keeps the canvas's back buffer up to date after an edit that moved or
// resized known items, without rendering the whole form: the boxes the
// items covered before and cover after (ItemExtents) are collected, and
// the next paint renders only those pixels again, every item that reaches
// them included, clipped to them, over the unchanged rest of the buffer.
// The pixels come out as a full render of the same form makes them. The
// GUI thread shares the drawing, and the measuring of many edited items,
// with threads kept for it, one for each further core.
namespace editor {

class RegionRedraw {
  public:
    RegionRedraw();
    ~RegionRedraw();
    RegionRedraw(const RegionRedraw&) = delete;
    RegionRedraw& operator=(const RegionRedraw&) = delete;

    // The boxes (buffer pixels, one per entry, empty for an item that draws
    // nothing) of the entries' records as the form stands now.
    std::vector<QRect> boxesOf(const CanvasRenderer::Inputs& inputs, double scale,
                               std::span<const SelectionEntry> entries);

    // Notes that the pixels of the before and after boxes (as boxesOf gave
    // them, in the same order) changed on a buffer of the scale that shows view.
    void add(const std::vector<QRect>& before, const std::vector<QRect>& after, const CanvasView& view,
             double scale);
    bool pending() const { return !m_boxes.empty() || m_waiting.count() > 0; }
    void forget();

    // Renders the noted pixels within shown (the buffer's pixels the
    // window shows) into the buffer and keeps the others noted; false (and
    // nothing drawn) when the buffer shows another view than the one
    // noted: the caller then renders it whole.
    bool render(QImage& buffer, const CanvasRenderer::Inputs& inputs, const QRect& shown);
    // Region renders that drew something.
    long long renders() const { return m_renders; }

    // Runs work over the rows [0, height) in two bands, the second on a
    // lane when there is one; work(top, bottom) must touch its rows only.
    void shareRows(int height, const std::function<void(int, int)>& work);

    // The GUI thread's stamps (characters, lines) for a surface of the scale, for
    // full renders as well as its share of region renders.
    platform::Stamps& stamps(const CanvasRenderer::Inputs& inputs, double scale);

  private:
    // A thread that draws a share of the parts, with what stays on it.
    struct Lane;

    // Changed pixels the window did not show, by square tiles of the
    // buffer: in each tile the rectangle around them. However many edits
    // leave pixels unshown, this stays the size of the buffer.
    class Waiting {
      public:
        static constexpr int kTile = 64;
        void add(const QRect& box, QSize buffer);
        // Takes the rectangles of the tiles that visible reaches, whole.
        void takeShown(const QRect& visible, std::vector<QRect>& out);
        int count() const { return m_count; }
        void clear();

      private:
        QSize m_buffer;
        int m_columns = 0;
        std::vector<QRect> m_tiles;
        int m_count = 0;
    };

    // Measures the entries whose boxes are not kept, on two threads when
    // they are many, and keeps their boxes.
    void measureUnknown(const CanvasRenderer::Inputs& inputs, double scale,
                        std::span<const SelectionEntry> entries);
    bool renderShares(QImage& buffer, const CanvasRenderer::Inputs& inputs,
                      std::span<const CanvasRenderer::RegionPart> parts);

    ItemExtents m_extents;
    std::optional<platform::Stamps> m_stamps;
    std::vector<std::unique_ptr<Lane>> m_lanes;
    std::vector<QRect> m_boxes;
    Waiting m_waiting;
    CanvasView m_view;
    double m_scale = 0;
    bool m_mixedViews = false;
    long long m_renders = 0;

    // The grid of the last region render and what it was drawn for.
    QImage m_grid;
    CanvasView m_gridView;
    double m_gridScale = 0;
    int m_gridDpiX = 0;
    int m_gridDpiY = 0;
};

} // namespace editor
