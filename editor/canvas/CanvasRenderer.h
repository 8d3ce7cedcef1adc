#pragma once

#include "editor/canvas/CanvasGeometry.h"
#include "formdesc/FormModel.h"

#include <QImage>
#include <QRect>

#include <atomic>
#include <span>
#include <vector>

namespace platform {
class DeviceContext;
class Stamps;
} // namespace platform

namespace render {
class BarcodeCache;
class BitmapCache;
class FieldRenderer;
class FigureRenderer;
struct RenderContext;
} // namespace render

// Draws the whole form onto the canvas's back buffer, in the order that
// keeps every item visible: the desk, the page, the field backgrounds, the
// grid, rectangle fills, the fields' sample texts, then lines, frames and
// bitmaps. The steps are render/'s with the canvas's policy; the canvas adds
// the desk, the grid, the tinted field backgrounds and the sample texts.
namespace editor {

class MeasuringBackend;

class CanvasRenderer {
  public:
    static constexpr formdesc::ColorRef kDeskColor = formdesc::rgb(128, 128, 128);
    static constexpr formdesc::ColorRef kPageColor = formdesc::rgb(255, 255, 255);
    static constexpr formdesc::ColorRef kFrameColor = formdesc::rgb(0, 0, 0);
    static constexpr formdesc::ColorRef kFieldColor = formdesc::rgb(223, 255, 255);
    static constexpr formdesc::ColorRef kGridColor = formdesc::rgb(198, 238, 208);

    struct Inputs {
        const formdesc::FormModel& model;
        const CanvasView& view;
        int dpiX = 96; // the screen's logical resolution the geometry was made for
        int dpiY = 96;
        render::BitmapCache& bitmaps;
        const QImage* placeholder = nullptr; // shown for a bitmap that cannot be read
    };

    // The resolution of a surface of the scale for the screen's dpi.
    static int deviceDpi(int dpi, double scale);

    // The picture shown in the box of a bitmap whose file cannot be read.
    static QImage placeholderPicture();

    // Renders into the whole surface. scale is the surface's device pixel
    // ratio: window pixels times scale are the surface's pixels. With
    // stamps (of the surface's resolution, kept by the caller's thread),
    // characters and straight lines are written by them where they can be.
    static void render(QImage& surface, double scale, const Inputs& inputs,
                       platform::Stamps* stamps = nullptr);

    // One rectangle (surface pixels) of a region render and the items that
    // reach it, by index in drawing order: every item that reaches it must
    // be named.
    struct RegionPart {
        QRect rect;
        std::vector<int> fields;
        std::vector<int> figures;
    };
    // The parts of one region render, handed out one at a time to the
    // threads that draw them: the thread that is free takes the next.
    class RegionParts {
      public:
        explicit RegionParts(std::span<const RegionPart> parts) : m_parts(parts) {}
        const RegionPart* next() {
            const std::size_t i = m_next.fetch_add(1, std::memory_order_relaxed);
            return i < m_parts.size() ? &m_parts[i] : nullptr;
        }
        // How many threads the parts are worth: one per so many pixels, at most lanes.
        int threadsWorth(int lanes) const;

      private:
        std::span<const RegionPart> m_parts;
        std::atomic<std::size_t> m_next{0};
    };
    // Renders again only the pixels of the parts' rectangles over what the
    // surface shows, each part with the same steps as render() clipped to
    // its rectangle, so that they come out as render() makes them: the desk
    // and the page, the items, and the grid copied from gridLayer
    // (renderGridLayer's picture of the same view and surface). Each call
    // is measured first (on measure, made for the surface's resolution) and
    // left out when it cannot reach the rectangle.
    // Several threads may render parts of one RegionParts at once, each
    // with a surface of its own over the same pixels (one image takes one
    // painter at a time), a measuring device and barcode symbols of its own
    // (none: the ones render() keeps, which only the GUI thread may use);
    // the inputs' bitmaps are then read from them all. Parts share no
    // pixel, so the threads never write the same one.
    // False when a wide line reaches a corner pixel of the surface, which
    // the render cannot clip as a full render does: render it whole then.
    static bool renderRegion(QImage& surface, double scale, const Inputs& inputs, RegionParts& parts,
                             const QImage& gridLayer, MeasuringBackend& measure,
                             platform::Stamps* stamps = nullptr, render::BarcodeCache* barcodes = nullptr);
    // The grid alone, as render() draws it, on a transparent picture of the
    // surface's size.
    static QImage renderGridLayer(QSize size, double scale, const Inputs& inputs);

    // Prepares a device context as render() does (the form's font, text
    // colour and pen, the page mapped at the view's zoom and offset) and
    // gives the context the items are drawn with.
    static render::RenderContext preparePage(platform::DeviceContext& dc, const Inputs& inputs, double scale);

    // A figure as the last step of render() draws it (its lines, frame,
    // bitmap or barcode); a fill is drawn earlier, by drawRectFills.
    static bool isFill(const formdesc::FigureInfo& figure);
    // barcodes: as for a region lane.
    static void drawFigure(render::FigureRenderer& figures, const formdesc::FigureInfo& figure,
                           render::BitmapCache& bitmaps, render::BarcodeCache* barcodes = nullptr);

    // Steps the design sheet draws the same way, on its own grid. base is the
    // form whose font, text colour and pen count as the ones selected.
    static void drawRectFills(const render::RenderContext& context, const formdesc::FormInfo& base,
                              const formdesc::FormModel& model);
    static void drawFigures(const render::RenderContext& context, const formdesc::FormInfo& base,
                            const formdesc::FormModel& model, render::BitmapCache& bitmaps);
    // A field's sample text spread over its full-cell box, in its own font and colour.
    static void drawFieldSample(render::FieldRenderer& fields, const render::RenderContext& context,
                                const formdesc::FieldInfo& field);
};

} // namespace editor
