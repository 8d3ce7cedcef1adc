#include "editor/canvas/CanvasRenderer.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cstring>

#include "platform/QtPainterBackend.h"
#include "render/FieldRenderer.h"
#include "render/RenderContext.h"

namespace {

using editor::CanvasGeometry;
using editor::CanvasRenderer;

// How much ink an image holds: the sum of the darkness of its pixels.
long long inkOf(const QImage& image) {
    long long ink = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ink += 255 - qGray(image.pixel(x, y));
    return ink;
}

// Draws onto white paper through the canvas's mapping at a zoom, in the
// default form's font, as the canvas draws its texts (96 dpi, no offset).
template <typename Draw> QImage drawAtZoom(const formdesc::FormModel& model, int zoom, Draw draw) {
    QImage image(1200, 200, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    platform::QtPainterBackend backend(painter, 96, 96);
    platform::DeviceContext dc(backend);
    const formdesc::PageGeometry page = CanvasGeometry::pageGeometry(model.form, 96, 96);
    const render::RenderContext context{dc, page, render::RenderPolicy::canvas(zoom, nullptr), 96};
    dc.selectFont(render::FieldRenderer::baseFont(model.form, 96));
    const formdesc::PixelSize zoomed = formdesc::previewViewportExt(page, zoom);
    dc.setMapMode(platform::MapMode::Isotropic);
    dc.setWindowExt(page.pageW, page.pageH);
    dc.setViewportExt(zoomed.width, zoomed.height);
    draw(context);
    dc.flush();
    painter.end();
    return image;
}

// A field's sample row of "X" at a fractional zoom: the cells of the font
// fall between pixels, and every glyph must still be drawn whole, as one
// glyph alone in a cell far wider than itself is.
TEST(CanvasText, NoGlyphOfAFieldSampleIsCutAtAnyZoom) {
    formdesc::FormModel model;
    model.setNewFormDefaults();
    formdesc::FieldInfo field{};
    field.startCol = 1;
    field.endCol = 16;
    field.startRow = field.endRow = 1;
    std::memcpy(field.fontName, model.form.fontName, sizeof field.fontName);
    field.fontSize = model.form.fontSize;

    for (const int zoom : {50, 75, 90, 110, 125, 150, 175, 200}) {
        const long long row = inkOf(drawAtZoom(model, zoom, [&](const render::RenderContext& context) {
            render::FieldRenderer fields(context, model.form);
            CanvasRenderer::drawFieldSample(fields, context, field);
        }));
        const long long one = inkOf(drawAtZoom(model, zoom, [](const render::RenderContext& context) {
            context.dc.drawChar("X", {100, 0, 1000, 100});
        }));
        ASSERT_GT(one, 0);
        EXPECT_EQ(row, 16 * one) << "at " << zoom << " %";
    }
}

} // namespace
