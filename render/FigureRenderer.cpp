#include "render/FigureRenderer.h"

#include <algorithm>
#include <limits>

#include "formdesc/Barcode.h"
#include "render/BarcodeRenderer.h"
#include "render/Saturate.h"

namespace render {

namespace {

using formdesc::FigurePoints;
using platform::Point;

// Floor and ceiling of a / b for b != 0.
Wide floorDiv(Wide a, Wide b) {
    const Wide q = a / b;
    return (a % b != 0 && ((a < 0) != (b < 0))) ? q - 1 : q;
}

Wide ceilDiv(Wide a, Wide b) {
    const Wide q = a / b;
    return (a % b != 0 && ((a < 0) == (b < 0))) ? q + 1 : q;
}

// Where a copy lies along the axis it is repeated on, before the mapping.
struct Span {
    Wide low;
    Wide high;
};

Span columnSpan(const formdesc::PageGeometry& g, Wide c1, Wide c2) {
    const Wide x1 = (c1 - 1) * g.cellW + g.cellW / 2 + g.originX;
    const Wide x2 = x1 + (c2 - c1) * g.cellW;
    return {std::min(x1, x2), std::max(x1, x2)};
}

Span rowSpan(const formdesc::PageGeometry& g, Wide r1, Wide r2) {
    const Wide y1 = (r1 - 1) * g.cellH + g.originY;
    const Wide y2 = y1 + (r2 - r1 + 1) * g.cellH;
    return {std::min(y1, y2), std::max(y1, y2)};
}

} // namespace

FigureRenderer::FigureRenderer(const RenderContext& context, const formdesc::FormInfo& form)
    : m_context(context), m_form(form), m_dc(context.dc), m_geometry(context.geometry) {
    const Wide extent = std::max<Wide>({context.geometry.pageW, context.geometry.pageH, 1});
    m_bandLow = -extent;
    m_bandHigh = 2 * extent;
}

platform::PenStyle FigureRenderer::penStyle(int lineType) {
    switch (lineType) {
    case formdesc::kLineDash:
        return platform::PenStyle::Dash;
    case formdesc::kLineCoarseDots:
        return platform::PenStyle::Dot;
    case formdesc::kLineDashDot:
        return platform::PenStyle::DashDot;
    case formdesc::kLineDashDotDot:
        return platform::PenStyle::DashDotDot;
    default:
        return platform::PenStyle::Solid; // 1, and 2 which is dotted by drawSegment
    }
}

platform::Pen FigureRenderer::defaultPen(const formdesc::FormInfo& form, const RenderPolicy& policy) {
    if (policy.penRule != PenRule::FormPen)
        return {platform::PenStyle::Solid, 1, 0};
    return {penStyle(form.lineType), form.lineWidth, form.lineColor};
}

void FigureRenderer::selectFigurePen(const formdesc::FigureInfo& figure) {
    platform::Pen pen{penStyle(figure.lineType), figure.lineWidth, figure.lineColor};
    bool keepDefault = false;
    switch (m_context.policy.penRule) {
    case PenRule::FormPen:
        keepDefault = figure.lineType == m_form.lineType && figure.lineWidth == m_form.lineWidth &&
                      figure.lineColor == m_form.lineColor;
        break;
    case PenRule::SolidBlack:
        if (figure.lineType == formdesc::kLineSolid || figure.lineType == formdesc::kLineDenseDots) {
            keepDefault = figure.lineWidth == 1 && figure.lineColor == 0;
            pen.style = platform::PenStyle::Solid;
        }
        break;
    case PenRule::Canvas:
        pen.width = figure.lineType == formdesc::kLineDenseDots
                        ? 0
                        : canvasPenWidth(figure.lineWidth, m_context.policy.zoom);
        keepDefault = pen == defaultPen(m_form, m_context.policy);
        break;
    case PenRule::Sheet:
        pen.width = sheetPenWidth(figure.lineWidth);
        keepDefault = pen == defaultPen(m_form, m_context.policy);
        break;
    }
    if (keepDefault)
        return;
    m_previousPen = m_dc.selectPen(pen);
    m_penSelected = true;
}

void FigureRenderer::restorePen() {
    if (!m_penSelected)
        return;
    m_dc.selectPen(m_previousPen);
    m_penSelected = false;
}

// The last row cuts a copy spanning rows r1..r2: r2 is shortened to it, and
// a copy that starts below it is not drawn.
bool FigureRenderer::cutAtLastRow(int r1, int& r2) const {
    const int lastRow = m_context.policy.lastRow;
    if (lastRow <= 0)
        return true;
    if (lastRow < r2)
        r2 = lastRow;
    return lastRow >= r1;
}

int FigureRenderer::dotLength(int lineWidth) const {
    const RenderPolicy& policy = m_context.policy;
    int width = lineWidth;
    if (policy.penRule == PenRule::Canvas)
        width = canvasPenWidth(lineWidth, policy.zoom);
    else if (policy.penRule == PenRule::Sheet)
        width = sheetPenWidth(lineWidth);
    return std::max(width, policy.minDotLength);
}

bool FigureRenderer::visible(const FigurePoints& p) const {
    const auto overlaps = [&](Wide a, Wide b) {
        return std::max(a, b) >= m_bandLow && std::min(a, b) <= m_bandHigh;
    };
    return overlaps(p.x1, p.x2) && overlaps(p.y1, p.y2);
}

// Calls draw(points) for every copy of the figure that is drawn: one, or
// loopCount + 1 shifted by loopPitch columns or rows, each cut by the
// last row. Copies that lie wholly beyond the band around the page are
// not visited at all, so that a huge count costs no more than the copies that
// can reach the paper; copies that do not move (no pitch, or cells of no
// size) are drawn once, as drawing them again would change no pixel.
template <typename Draw>
void FigureRenderer::forEachCopy(const formdesc::FigureInfo& figure, int startRow, int endRow, Draw&& draw) {
    const auto drawCopy = [&](Wide c1, Wide r1, Wide c2, Wide r2) {
        int lastRow = saturateToInt(r2);
        if (!cutAtLastRow(saturateToInt(r1), lastRow))
            return false;
        const FigurePoints points = formdesc::figurePoints(m_geometry, c1, r1, c2, lastRow);
        if (!visible(points))
            return false;
        draw(points);
        return true;
    };
    const Wide c1 = figure.startCol;
    const Wide c2 = figure.endCol;
    const Wide r1 = startRow;
    const Wide r2 = endRow;
    if (figure.loopDir != formdesc::kLoopH && figure.loopDir != formdesc::kLoopV) {
        drawCopy(c1, r1, c2, r2);
        return;
    }
    if (figure.loopCount < 0)
        return;
    const bool across = figure.loopDir == formdesc::kLoopH;
    const Wide pitch = figure.loopPitch;
    const Wide step = pitch * (across ? m_geometry.cellW : m_geometry.cellH);
    const Span span = across ? columnSpan(m_geometry, c1, c2) : rowSpan(m_geometry, r1, r2);
    Wide first = 0;
    Wide last = figure.loopCount;
    if (step > 0) {
        first = std::max(first, ceilDiv(m_bandLow - span.high, step));
        last = std::min(last, floorDiv(m_bandHigh - span.low, step));
    } else if (step < 0) {
        first = std::max(first, ceilDiv(m_bandHigh - span.low, step));
        last = std::min(last, floorDiv(m_bandLow - span.high, step));
    } else {
        // Every copy lands on the same points. Only the last row can tell
        // them apart: copies moving up may pass it where the first fails.
        const Wide lastRow = m_context.policy.lastRow;
        if (!across && pitch < 0 && lastRow > 0 && r1 > lastRow)
            first = ceilDiv(r1 - lastRow, -pitch);
        last = std::min(last, first);
    }
    for (Wide k = first; k <= last; ++k) {
        const Wide shift = k * pitch;
        if (across)
            drawCopy(c1 + shift, r1, c2 + shift, r2);
        else
            drawCopy(c1, r1 + shift, c2, r2 + shift);
    }
}

void FigureRenderer::drawLine(const formdesc::FigureInfo& figure) {
    int startRow = figure.startRow;
    int endRow = figure.endRow;
    if ((figure.course == formdesc::kCourseLU && endRow < startRow) ||
        (figure.course == formdesc::kCourseRU && startRow < endRow))
        std::swap(startRow, endRow);
    forEachCopy(figure, startRow, endRow, [&](FigurePoints p) {
        if (figure.course == formdesc::kCourseH)
            p.y2 = p.y1;
        drawSegment({p.x1, p.y1}, {p.x2, p.y2}, figure.lineType, figure.lineWidth);
    });
}

void FigureRenderer::drawRectFrame(const formdesc::FigureInfo& figure) {
    forEachCopy(figure, figure.startRow, figure.endRow, [&](const FigurePoints& p) {
        drawSegment({p.x1, p.y1}, {p.x1, p.y2}, figure.lineType, figure.lineWidth);
        drawSegment({p.x1, p.y2}, {p.x2, p.y2}, figure.lineType, figure.lineWidth);
        drawSegment({p.x2, p.y1}, {p.x2, p.y2}, figure.lineType, figure.lineWidth);
        drawSegment({p.x1, p.y1}, {p.x2, p.y1}, figure.lineType, figure.lineWidth);
    });
}

void FigureRenderer::drawRectFill(const formdesc::FigureInfo& figure) {
    forEachCopy(figure, figure.startRow, figure.endRow, [&](const FigurePoints& p) {
        m_dc.fillRect({p.x1 + 1, p.y1 + 1, p.x2, p.y2}, figure.meshColor);
    });
}

void FigureRenderer::drawBitmap(const formdesc::FigureInfo& figure, BitmapCache& bitmaps) {
    int endRow = figure.endRow;
    if (!cutAtLastRow(figure.startRow, endRow))
        return;
    const FigurePoints p =
        formdesc::figurePoints(m_geometry, figure.startCol, figure.startRow, figure.endCol, endRow);
    // An item with no file yet shows the placeholder too: it must stay visible
    // and pickable on the canvas and the design sheet.
    QImage image = bitmaps.image(figure);
    if (image.isNull() && m_context.policy.missingBitmap)
        image = *m_context.policy.missingBitmap;
    if (image.isNull() || !visible(p))
        return;
    // Destination (x1, y1), x2 - x1 + 1 wide and y2 - y1 + 1 high.
    m_dc.stretchImage(image, {p.x1, p.y1, p.x2 + 1, p.y2 + 1});
}

const BarcodeSymbol& FigureRenderer::drawBarcode(const formdesc::FigureInfo& figure, BarcodeCache& barcodes,
                                                 std::string_view content) {
    const formdesc::BarcodeAttributes barcode = formdesc::barcodeOf(figure);
    const BarcodeSymbol& symbol = barcodes.symbol(barcode.type, barcode.ecc, barcode.hri, content);
    const bool keepAspect =
        formdesc::isTwoDimensional(barcode.type) || barcode.type == formdesc::kBarcodeJpPost;
    forEachCopy(figure, figure.startRow, figure.endRow, [&](const FigurePoints& p) {
        BarcodeRenderer::draw(m_dc, {p.x1, p.y1, p.x2, p.y2}, symbol, keepAspect, figure.lineColor);
    });
    return symbol;
}

void FigureRenderer::drawSegment(Point from, Point to, int lineType, int lineWidth) {
    const bool straight = from.x == to.x || from.y == to.y;
    if (lineType != formdesc::kLineDenseDots || !straight || m_context.policy.denseDotsSolid) {
        m_dc.moveTo(from.x, from.y);
        m_dc.lineTo(to.x, to.y);
        return;
    }
    drawDots(from, to, lineWidth);
}

// Dense dots are laid out in device pixels: for the duration one logical unit
// is one pixel from the device's corner, and the page's mapping is put back
// whole afterwards.
void FigureRenderer::drawDots(Point from, Point to, int lineWidth) {
    const bool horizontal = from.y == to.y;
    const Point offset = m_dc.deviceOffset();
    const auto toPixels = [&](Point p) {
        const Point d = m_dc.lpToDp(p);
        return Point{d.x - offset.x, d.y - offset.y};
    };
    const Point a = toPixels(from);
    const Point b = toPixels(to);
    // The band around the page in the same pixels: dots beyond it are not
    // walked one by one (a whole number of dot periods is skipped instead,
    // which keeps the dots that are drawn where they would be).
    const Point bandLow = toPixels({saturateToInt(m_bandLow), saturateToInt(m_bandLow)});
    const Point bandHigh = toPixels({saturateToInt(m_bandHigh), saturateToInt(m_bandHigh)});
    const platform::DevicePixelScope pixels(m_dc);

    const Wide d = dotLength(lineWidth);
    if (horizontal) {
        const Wide length = m_context.policy.shortHorizontalDots ? d - 1 : d;
        const Wide period = length + 2 * d;
        const Wide low = std::min(bandLow.x, bandHigh.x);
        const Wide end = std::min<Wide>(b.x, std::max(bandLow.x, bandHigh.x));
        Wide x = a.x;
        if (x < low)
            x += (low - x) / period * period;
        while (x <= end) {
            m_dc.moveTo(saturateToInt(x), a.y);
            const Wide e = std::min<Wide>(x + length, b.x);
            m_dc.lineTo(saturateToInt(e), a.y);
            x = e + 2 * d;
        }
    } else {
        const Wide period = 3 * d;
        const Wide low = std::min(bandLow.y, bandHigh.y);
        const Wide end = std::min<Wide>(b.y, std::max(bandLow.y, bandHigh.y));
        Wide y = a.y;
        if (y < low)
            y += (low - y) / period * period;
        while (y <= end) {
            m_dc.moveTo(a.x, saturateToInt(y));
            const Wide e = std::min<Wide>(y + d, b.y);
            m_dc.lineTo(a.x, saturateToInt(e));
            y = e + 2 * d;
        }
    }
}

} // namespace render
