#include "editor/canvas/CanvasRenderer.h"

#include <QImage>
#include <QPainter>
#include <QRegion>

#include <algorithm>
#include <cmath>

#include "editor/canvas/FieldSample.h"
#include "editor/canvas/MeasuringBackend.h"
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

// The items one render draws: every one, or those a region part names.
class ItemChoice {
  public:
    explicit ItemChoice(const CanvasRenderer::RegionPart* part) : m_part(part) {}

    template <typename Draw> void forFields(int count, Draw&& draw) const {
        forEach(m_part ? &m_part->fields : nullptr, count, draw);
    }
    template <typename Draw> void forFigures(int count, Draw&& draw) const {
        forEach(m_part ? &m_part->figures : nullptr, count, draw);
    }

  private:
    template <typename Draw> static void forEach(const std::vector<int>* named, int count, Draw& draw) {
        if (!named) {
            for (int i = 0; i < count; ++i)
                draw(std::size_t(i));
            return;
        }
        for (const int i : *named)
            if (i >= 0 && i < count)
                draw(std::size_t(i));
    }
    const CanvasRenderer::RegionPart* m_part;
};

// The real symbol of a constant; for a field's text, which only a job
// knows, a valid sample of the type. Symbols are kept between renders (the
// canvas and the sheets draw on the GUI thread only), so that scrolling and
// dragging never encode again.
void drawBarcode(render::FigureRenderer& figures, const FigureInfo& figure, render::BarcodeCache* own) {
    static render::BarcodeCache symbols;
    const formdesc::BarcodeAttributes barcode = formdesc::barcodeOf(figure);
    const std::string_view content =
        barcode.fromField ? render::sampleBarcodeContent(barcode.type) : std::string_view(barcode.text);
    figures.drawBarcode(figure, own ? *own : symbols, content);
}

void drawFields(const render::RenderContext& context, const FormModel& model, const ItemChoice& choice) {
    render::FieldRenderer fields(context, model.form);
    choice.forFields(model.fieldCount, [&](std::size_t i) {
        CanvasRenderer::drawFieldSample(fields, context, model.fields[i]);
    });
}

void drawFills(const render::RenderContext& context, const formdesc::FormInfo& base, const FormModel& model,
               const ItemChoice& choice) {
    render::FigureRenderer fills(context, base);
    choice.forFigures(model.figureCount, [&](std::size_t i) {
        if (CanvasRenderer::isFill(model.figures[i]))
            fills.drawRectFill(model.figures[i]);
    });
}

void drawAllFigures(const render::RenderContext& context, const formdesc::FormInfo& base,
                    const FormModel& model, render::BitmapCache& bitmaps, const ItemChoice& choice,
                    render::BarcodeCache* barcodes) {
    render::FigureRenderer figures(context, base);
    choice.forFigures(model.figureCount, [&](std::size_t i) {
        CanvasRenderer::drawFigure(figures, model.figures[i], bitmaps, barcodes);
    });
}

// Passes on to the painter's backend only the calls that can reach one
// rectangle: the others would be clipped away whole. The painter is clipped
// to the rectangle, except for wide lines: the painter fills those as
// shapes cut at the bounds of its clip, and a cut at other bounds than a
// full render's rounds a slanted edge differently. For them the clip is the
// rectangle and one pixel in two opposite corners of the surface, whose
// bounds are the surface's as in a full render; a wide line that could
// reach those pixels makes the render refuse (a full render follows).
class RegionBackend : public platform::DeviceBackend {
  public:
    RegionBackend(platform::QtPainterBackend& painted, QPainter& painter, MeasuringBackend& measure,
                  QSize size)
        : m_painted(painted), m_painter(painter), m_measure(measure),
          m_corners(QRegion(0, 0, 1, 1) + QRegion(size.width() - 1, size.height() - 1, 1, 1)) {}

    void setRect(const QRect& rect) {
        m_painted.flush();
        m_rect = rect;
        m_painter.setClipRect(rect);
        m_painted.setStampClip(rect);
        m_wide = false;
    }
    bool refused() const { return m_refused; }

    int dpiX() const override { return m_painted.dpiX(); }
    int dpiY() const override { return m_painted.dpiY(); }
    void drawLine(platform::Point from, platform::Point to, const platform::DevicePen& pen) override {
        m_measure.reset();
        m_measure.drawLine(from, to, pen);
        if (!reaches())
            return;
        if (pen.width > 1) {
            if (m_corners.intersects(m_measure.box()))
                m_refused = true;
            clipWide(true);
        }
        m_painted.drawLine(from, to, pen);
    }
    void fillRect(const platform::Rect& rect, platform::ColorRef color) override {
        m_measure.reset();
        m_measure.fillRect(rect, color);
        if (reaches())
            m_painted.fillRect(rect, color);
    }
    platform::TextMetrics textMetrics(const platform::DeviceFont& font) override {
        return m_painted.textMetrics(font);
    }
    void drawChar(std::string_view sjisChar, const platform::Rect& cell, const platform::DeviceFont& font,
                  platform::ColorRef color) override {
        // Stamped characters keep to the rectangle themselves, for
        // less than measuring them first costs.
        if (!m_painted.stamping()) {
            m_measure.reset();
            m_measure.drawChar(sjisChar, cell, font, color);
            if (!reaches())
                return;
        }
        clipWide(false);
        m_painted.drawChar(sjisChar, cell, font, color);
    }
    void drawImage(const QImage& image, const platform::Rect& dest) override {
        m_measure.reset();
        m_measure.drawImage(image, dest);
        if (!reaches())
            return;
        clipWide(false);
        m_painted.drawImage(image, dest);
    }
    void flush() override { m_painted.flush(); }

  private:
    bool reaches() const { return m_measure.box().intersects(m_rect); }

    // Texts and pictures keep the rectangle alone: a clip of many
    // rectangles stretches pictures by another rule and is slow for texts.
    void clipWide(bool wide) {
        if (wide == m_wide)
            return;
        m_painted.flush();
        if (wide)
            m_painter.setClipRegion(m_corners + m_rect);
        else
            m_painter.setClipRect(m_rect);
        m_wide = wide;
    }

    platform::QtPainterBackend& m_painted;
    QPainter& m_painter;
    MeasuringBackend& m_measure;
    const QRegion m_corners;
    QRect m_rect;
    bool m_wide = false;
    bool m_refused = false;
};

// The steps of a render on a painter that is prepared (and clipped) by the
// caller; gridLayer, when given, stands for the grid's lines.
void drawForm(QPainter& painter, platform::DeviceBackend& backend, QSize size, double scale,
              const CanvasRenderer::Inputs& inputs, const ItemChoice& choice, const QImage* gridLayer,
              render::BarcodeCache* barcodes) {
    const FormModel& model = inputs.model;
    const formdesc::PageGeometry& page = inputs.view.page;
    // Pictures are stretched pixel for pixel, as a screen does it; smoothing
    // every bitmap box would cost more than the rest of the render.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    platform::DeviceContext dc(backend);
    const platform::LogFont baseFont = dc.font();
    const platform::ColorRef baseColor = dc.textColor();
    const platform::Pen basePen = dc.pen();
    const render::RenderContext context = CanvasRenderer::preparePage(dc, inputs, scale);

    backend.fillRect({0, 0, size.width(), size.height()}, CanvasRenderer::kDeskColor);
    dc.fillRect({0, 0, page.pageW, page.pageH}, CanvasRenderer::kPageColor);
    drawPageEdge(dc, page);

    choice.forFields(model.fieldCount, [&](std::size_t i) {
        dc.fillRect(CanvasGeometry::fieldBox(page, CanvasGeometry::spanOf(model.fields[i])),
                    CanvasRenderer::kFieldColor);
    });
    if (gridLayer) {
        dc.flush();
        painter.drawImage(QPointF(0, 0), *gridLayer);
    } else {
        drawGrid(dc, inputs.view);
    }
    drawFills(context, model.form, model, choice);
    drawFields(context, model, choice);
    drawAllFigures(context, model.form, model, inputs.bitmaps, choice, barcodes);

    dc.selectPen(basePen);
    dc.setTextColor(baseColor);
    dc.selectFont(baseFont);
    dc.flush();
}

// The surface's pixels as an image of ratio 1: the backend's coordinates
// are the surface's pixels, which a painter on an image of a higher ratio
// would scale once more.
QImage pixelsOf(QImage& surface) {
    return QImage(surface.bits(), surface.width(), surface.height(), surface.bytesPerLine(),
                  surface.format());
}

// Below this many pixels a region is drawn on one thread: giving parts to
// another costs about as much as drawing them.
constexpr long long kPixelsForAThread = 16 * 1024;

} // namespace

bool CanvasRenderer::isFill(const FigureInfo& figure) {
    return figure.kind == formdesc::kKindRect &&
           (figure.meshKind() == formdesc::kMeshFillOnly || figure.meshKind() == formdesc::kMeshFrameAndFill);
}

void CanvasRenderer::drawRectFills(const render::RenderContext& context, const formdesc::FormInfo& base,
                                   const FormModel& model) {
    drawFills(context, base, model, ItemChoice(nullptr));
}

void CanvasRenderer::drawFigures(const render::RenderContext& context, const formdesc::FormInfo& base,
                                 const FormModel& model, render::BitmapCache& bitmaps) {
    drawAllFigures(context, base, model, bitmaps, ItemChoice(nullptr), nullptr);
}

void CanvasRenderer::drawFigure(render::FigureRenderer& figures, const FigureInfo& figure,
                                render::BitmapCache& bitmaps, render::BarcodeCache* barcodes) {
    if (figure.kind == formdesc::kKindBitmap) {
        figures.drawBitmap(figure, bitmaps);
        return;
    }
    if (figure.kind == formdesc::kKindBarcode) {
        drawBarcode(figures, figure, barcodes);
        return;
    }
    figures.selectFigurePen(figure);
    if (figure.kind == formdesc::kKindLine)
        figures.drawLine(figure);
    else if (figure.kind == formdesc::kKindRect && figure.meshKind() != formdesc::kMeshFillOnly)
        figures.drawRectFrame(figure);
    figures.restorePen();
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

int CanvasRenderer::deviceDpi(int dpi, double scale) {
    return scaled(dpi, scale);
}

QImage CanvasRenderer::placeholderPicture() {
    initCanvasResources();
    // Stretched many times a render: the painter's own format saves a conversion each time.
    return QImage(QStringLiteral(":/canvas/placeholder.xpm")).convertToFormat(QImage::Format_RGB32);
}

render::RenderContext CanvasRenderer::preparePage(platform::DeviceContext& dc, const Inputs& inputs,
                                                  double scale) {
    const formdesc::PageGeometry& page = inputs.view.page;
    const render::RenderContext context{
        dc, page, render::RenderPolicy::canvas(inputs.view.zoom, inputs.placeholder), inputs.dpiY};
    dc.selectFont(render::FieldRenderer::baseFont(inputs.model.form, inputs.dpiY));
    dc.setTextColor(inputs.model.form.textColor);
    dc.selectPen(render::FigureRenderer::defaultPen(inputs.model.form, context.policy));
    const formdesc::PixelSize zoomed = formdesc::previewViewportExt(page, inputs.view.zoom);
    dc.setMapMode(platform::MapMode::Isotropic);
    dc.setWindowExt(std::max(page.pageW, 1), std::max(page.pageH, 1));
    dc.setViewportExt(std::max(scaled(zoomed.width, scale), 1), std::max(scaled(zoomed.height, scale), 1));
    dc.setViewportOrg(scaled(inputs.view.offsetX, scale), scaled(inputs.view.offsetY, scale));
    return context;
}

void CanvasRenderer::render(QImage& surface, double scale, const Inputs& inputs, platform::Stamps* stamps) {
    QImage pixels = pixelsOf(surface);
    QPainter painter(&pixels);
    platform::QtPainterBackend backend(painter, scaled(inputs.dpiX, scale), scaled(inputs.dpiY, scale));
    if (stamps)
        backend.stampWith(*stamps);
    drawForm(painter, backend, surface.size(), scale, inputs, ItemChoice(nullptr), nullptr, nullptr);
}

bool CanvasRenderer::renderRegion(QImage& surface, double scale, const Inputs& inputs, RegionParts& parts,
                                  const QImage& gridLayer, MeasuringBackend& measure,
                                  platform::Stamps* stamps, render::BarcodeCache* barcodes) {
    QImage pixels = pixelsOf(surface);
    QPainter painter(&pixels);
    platform::QtPainterBackend painted(painter, scaled(inputs.dpiX, scale), scaled(inputs.dpiY, scale));
    if (stamps)
        painted.stampWith(*stamps);
    RegionBackend backend(painted, painter, measure, surface.size());
    while (const RegionPart* part = parts.next()) {
        // Under a clip of one rectangle the painter takes the roads of a
        // full render, only writing fewer pixels.
        backend.setRect(part->rect);
        drawForm(painter, backend, surface.size(), scale, inputs, ItemChoice(part), &gridLayer, barcodes);
        if (backend.refused())
            return false;
    }
    return true;
}

int CanvasRenderer::RegionParts::threadsWorth(int lanes) const {
    long long total = 0;
    for (const RegionPart& part : m_parts)
        total += static_cast<long long>(part.rect.width()) * part.rect.height();
    return int(std::clamp<long long>(total / kPixelsForAThread, 1,
                                     std::max<long long>(1, std::min<long long>(lanes, m_parts.size()))));
}

QImage CanvasRenderer::renderGridLayer(QSize size, double scale, const Inputs& inputs) {
    QImage layer(size, QImage::Format_ARGB32_Premultiplied);
    layer.fill(Qt::transparent);
    QPainter painter(&layer);
    platform::QtPainterBackend backend(painter, scaled(inputs.dpiX, scale), scaled(inputs.dpiY, scale));
    platform::DeviceContext dc(backend);
    preparePage(dc, inputs, scale);
    drawGrid(dc, inputs.view);
    dc.flush();
    return layer;
}

} // namespace editor
