#pragma once

#include <QRect>

#include <memory>
#include <optional>

#include "editor/canvas/CanvasRenderer.h"
#include "render/RenderContext.h"

namespace platform {
class DeviceContext;
}

namespace render {
class BarcodeCache;
class FieldRenderer;
class FigureRenderer;
} // namespace render

// Where each item of the form leaves pixels on the canvas's back buffer:
// the bounding box, in the buffer's pixels, of everything the renderer
// draws for it (its background, text and font growth, pen widths, loop
// copies, bitmap box, barcode symbol and its text), found by running the
// renderer's own steps for that item on a device that only measures
// (MeasuringBackend). Boxes are kept for each record and measured again
// when its bytes differ; anything that places items differently (view,
// scale, resolution, the form's own settings) forgets them all.
namespace editor {

class MeasuringBackend;

class ItemExtents {
  public:
    // The renderer's steps for one record at a time on a measuring device,
    // as render() sets them up for the inputs and scale. Another thread may
    // measure with steps of its own on a device of its own, with its own
    // barcode symbols (none: the ones render() keeps, GUI thread only).
    class Steps {
      public:
        Steps(MeasuringBackend& device, const CanvasRenderer::Inputs& inputs, double scale,
              render::BarcodeCache* barcodes = nullptr);
        ~Steps();
        Steps(const Steps&) = delete;
        Steps& operator=(const Steps&) = delete;

        QRect field(const formdesc::FieldInfo& record);
        QRect figure(const formdesc::FigureInfo& record);

      private:
        MeasuringBackend& m_device;
        const CanvasRenderer::Inputs& m_inputs;
        render::BarcodeCache* m_barcodes;
        std::unique_ptr<platform::DeviceContext> m_dc;
        std::optional<render::RenderContext> m_context;
        std::unique_ptr<render::FieldRenderer> m_fields;
        std::unique_ptr<render::FigureRenderer> m_figures;
    };

    ItemExtents();
    ~ItemExtents();
    ItemExtents(const ItemExtents&) = delete;
    ItemExtents& operator=(const ItemExtents&) = delete;

    // Measures for the inputs' form and view on a buffer of the scale; the
    // inputs must outlive the calls below.
    void prepare(const CanvasRenderer::Inputs& inputs, double scale);
    // Empty for an item that draws nothing.
    QRect field(int index);
    QRect figure(int index);
    // Whether the box of the item's record as it stands is kept.
    bool knows(int kind, int index) const;
    // Keeps a box measured with steps of another thread for the item's
    // record as it stands.
    void keep(int kind, int index, const QRect& box);
    // The measuring device (set up by prepare), for boxes of single calls.
    MeasuringBackend& measurer();

  private:
    struct Measure;
    std::unique_ptr<Measure> m_measure;
};

} // namespace editor
