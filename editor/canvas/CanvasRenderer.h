#pragma once

#include "editor/canvas/CanvasGeometry.h"
#include "formdesc/FormModel.h"

#include <QImage>

namespace render {
class BitmapCache;
class FieldRenderer;
struct RenderContext;
} // namespace render

// Draws the whole form onto the canvas's back buffer, in the order that
// keeps every item visible: the desk, the page, the field backgrounds, the
// grid, rectangle fills, the fields' sample texts, then lines, frames and
// bitmaps. The steps are render/'s with the canvas's policy; the canvas adds
// the desk, the grid, the tinted field backgrounds and the sample texts.
namespace editor {

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

    // The picture shown in the box of a bitmap whose file cannot be read.
    static QImage placeholderPicture();

    // Renders into the whole surface. scale is the surface's device pixel
    // ratio: window pixels times scale are the surface's pixels.
    static void render(QImage& surface, double scale, const Inputs& inputs);

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
