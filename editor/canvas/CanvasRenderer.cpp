#include "editor/canvas/CanvasRenderer.h"

#include <QImage>
#include <QPainter>

#include <cmath>

#include "editor/canvas/FieldSample.h"
#include "formdesc/Barcode.h"
#include "platform/DeviceContext.h"
#include "platform/QtPainterBackend.h"
#include "render/BarcodeCache.h"
#include "render/BitmapCache.h"
#include "render/FieldRenderer.h"
#include "render/FigureRenderer.h"
#include "render/RenderContext.h"

// Resources of a static library are linked only when something names them.
static void initCanvasResources() {
    Q_INIT_RESOURCE(canvas);
}

namespace editor {

namespace {

using formdesc::FieldInfo;
using formdesc::FigureInfo;
using formdesc::FormModel;

int scaled(int value, double scale) {
    return static_cast<int>(std::lround(value * scale));
}

// The page's black edge, one device pixel wide at every zoom: drawn through
// the mapping a one-unit edge would vanish below 100 %.
void drawPageEdge(platform::DeviceContext& dc, const formdesc::PageGeometry& page) {
    const platform::Point a = dc.lpToDp({0, 0});
    const platform::Point b = dc.lpToDp({page.pageW, page.pageH});
    platform::DeviceBackend& device = dc.backend();
    const platform::ColorRef black = CanvasRenderer::kFrameColor;
    device.fillRect({a.x, a.y, b.x, a.y + 1}, black);
    device.fillRect({a.x, b.y - 1, b.x, b.y}, black);
    device.fillRect({a.x, a.y, a.x + 1, b.y}, black);
    device.fillRect({b.x - 1, a.y, b.x, b.y}, black);
}

// The outline first (down the left side, along the bottom, up the right
// side, back along the top), then the inner column and row lines.
void drawGrid(platform::DeviceContext& dc, const CanvasView& view) {
    const formdesc::PageGeometry& g = view.page;
    const int left = g.originX;
    const int top = g.originY;
    const int right = left + view.columns * g.cellW;
    const int bottom = top + view.rows * g.cellH;
    const platform::Pen previous = dc.selectPen({platform::PenStyle::Solid, 0, CanvasRenderer::kGridColor});
    dc.moveTo(left, top);
    dc.lineTo(left, bottom);
    dc.lineTo(right, bottom);
    dc.lineTo(right, top);
    dc.lineTo(left, top);
    for (int i = 1; i < view.columns; ++i) {
        dc.moveTo(left + i * g.cellW, top);
        dc.lineTo(left + i * g.cellW, bottom);
    }
    for (int i = 1; i < view.rows; ++i) {
        dc.moveTo(left, top + i * g.cellH);
        dc.lineTo(right, top + i * g.cellH);
    }
    dc.selectPen(previous);
}

bool isFill(const FigureInfo& figure) {
    return figure.kind == formdesc::kKindRect &&
           (figure.meshKind() == formdesc::kMeshFillOnly || figure.meshKind() == formdesc::kMeshFrameAndFill);
}

// The real symbol of a constant; for a field's text, which only a job
// knows, a valid sample of the type. Symbols are kept between renders (the
// canvas and the sheets draw on the GUI thread only), so that scrolling and
// dragging never encode again.
void drawBarcode(render::FigureRenderer& figures, const FigureInfo& figure) {
    static render::BarcodeCache symbols;
    const formdesc::BarcodeAttributes barcode = formdesc::barcodeOf(figure);
    const std::string_view content =
        barcode.fromField ? render::sampleBarcodeContent(barcode.type) : std::string_view(barcode.text);
    figures.drawBarcode(figure, symbols, content);
}

void drawFields(const render::RenderContext& context, const FormModel& model) {
    render::FieldRenderer fields(context, model.form);
    for (int i = 0; i < model.fieldCount; ++i)
        CanvasRenderer::drawFieldSample(fields, context, model.fields[static_cast<std::size_t>(i)]);
}

} // namespace

void CanvasRenderer::drawRectFills(const render::RenderContext& context, const formdesc::FormInfo& base,
                                   const FormModel& model) {
    render::FigureRenderer fills(context, base);
    for (int i = 0; i < model.figureCount; ++i) {
        const FigureInfo& figure = model.figures[static_cast<std::size_t>(i)];
        if (isFill(figure))
            fills.drawRectFill(figure);
    }
}

void CanvasRenderer::drawFigures(const render::RenderContext& context, const formdesc::FormInfo& base,
                                 const FormModel& model, render::BitmapCache& bitmaps) {
    render::FigureRenderer figures(context, base);
    for (int i = 0; i < model.figureCount; ++i) {
        const FigureInfo& figure = model.figures[static_cast<std::size_t>(i)];
        if (figure.kind == formdesc::kKindBitmap) {
            figures.drawBitmap(figure, bitmaps);
            continue;
        }
        if (figure.kind == formdesc::kKindBarcode) {
            drawBarcode(figures, figure);
            continue;
        }
        figures.selectFigurePen(figure);
        if (figure.kind == formdesc::kKindLine)
            figures.drawLine(figure);
        else if (figure.kind == formdesc::kKindRect && figure.meshKind() != formdesc::kMeshFillOnly)
            figures.drawRectFrame(figure);
        figures.restorePen();
    }
}

void CanvasRenderer::drawFieldSample(render::FieldRenderer& fields, const render::RenderContext& context,
                                     const FieldInfo& field) {
    const platform::Rect box = CanvasGeometry::fieldBox(context.geometry, CanvasGeometry::spanOf(field));
    const FieldSample sample =
        FieldSample::make(field, {box.left, box.top, box.right, box.bottom}, context.geometry.cellW);
    fields.selectFieldStyle(field);
    fields.spreadText(sample.text, sample.box);
    fields.restoreStyle();
}

QImage CanvasRenderer::placeholderPicture() {
    initCanvasResources();
    // Stretched many times a render: the painter's own format saves a conversion each time.
    return QImage(QStringLiteral(":/canvas/placeholder.xpm")).convertToFormat(QImage::Format_RGB32);
}

void CanvasRenderer::render(QImage& surface, double scale, const Inputs& inputs) {
    const FormModel& model = inputs.model;
    const CanvasView& view = inputs.view;
    const formdesc::PageGeometry& page = view.page;

    QPainter painter(&surface);
    platform::QtPainterBackend backend(painter, scaled(inputs.dpiX, scale), scaled(inputs.dpiY, scale));
    // Pictures are stretched pixel for pixel, as a screen does it; smoothing
    // every bitmap box would cost more than the rest of the render.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    platform::DeviceContext dc(backend);
    const render::RenderContext context{dc, page, render::RenderPolicy::canvas(view.zoom, inputs.placeholder),
                                        inputs.dpiY};

    const platform::LogFont baseFont =
        dc.selectFont(render::FieldRenderer::baseFont(model.form, inputs.dpiY));
    const platform::ColorRef baseColor = dc.setTextColor(model.form.textColor);
    const platform::Pen basePen =
        dc.selectPen(render::FigureRenderer::defaultPen(model.form, context.policy));

    dc.fillRect({0, 0, surface.width(), surface.height()}, kDeskColor);

    const formdesc::PixelSize zoomed = formdesc::previewViewportExt(page, view.zoom);
    dc.setMapMode(platform::MapMode::Isotropic);
    dc.setWindowExt(std::max(page.pageW, 1), std::max(page.pageH, 1));
    dc.setViewportExt(std::max(scaled(zoomed.width, scale), 1), std::max(scaled(zoomed.height, scale), 1));
    dc.setViewportOrg(scaled(view.offsetX, scale), scaled(view.offsetY, scale));

    dc.fillRect({0, 0, page.pageW, page.pageH}, kPageColor);
    drawPageEdge(dc, page);

    for (int i = 0; i < model.fieldCount; ++i) {
        const FieldInfo& field = model.fields[static_cast<std::size_t>(i)];
        dc.fillRect(CanvasGeometry::fieldBox(page, CanvasGeometry::spanOf(field)), kFieldColor);
    }
    drawGrid(dc, view);
    drawRectFills(context, model.form, model);
    drawFields(context, model);
    drawFigures(context, model.form, model, inputs.bitmaps);

    dc.selectPen(basePen);
    dc.setTextColor(baseColor);
    dc.selectFont(baseFont);
    dc.flush();
}

} // namespace editor
