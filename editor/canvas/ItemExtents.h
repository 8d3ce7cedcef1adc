#pragma once

#include <QRect>

#include <memory>

#include "editor/canvas/CanvasRenderer.h"

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
    // The measuring device (set up by prepare), for boxes of single calls.
    MeasuringBackend& measurer();

  private:
    struct Measure;
    std::unique_ptr<Measure> m_measure;
};

} // namespace editor
