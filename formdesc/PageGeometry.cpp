#include "formdesc/PageGeometry.h"

#include <algorithm>
#include <limits>

namespace formdesc {

namespace {

using Wide = std::int64_t;

int saturate(Wide value) {
    constexpr Wide low = std::numeric_limits<int>::min();
    constexpr Wide high = std::numeric_limits<int>::max();
    return static_cast<int>(std::clamp(value, low, high));
}

int coordinate(Wide value) {
    return static_cast<int>(std::clamp<Wide>(value, -kCoordinateLimit, kCoordinateLimit));
}

// Cell numbers far outside any grid all land beyond kCoordinateLimit (when
// cells have a size at all); cutting them to 2^30 first keeps their
// differences times a cell size inside 64 bits.
Wide cellNumber(Wide n) {
    constexpr Wide limit = Wide{1} << 30;
    return std::clamp(n, -limit, limit);
}

// Integer division as the formulas use it; a zero divisor (no columns or
// rows, only in a model that skipped the check) gives 0 instead of a trap.
Wide divide(Wide num, Wide den) {
    return den == 0 ? 0 : num / den;
}

Wide pixels(Wide dpi, Wide tenths) {
    return dpi * tenths / 254;
}

} // namespace

PrinterPaper printerPaper(int dmPaperSize, int direction) {
    int paperSize = kPaperA4;
    switch (dmPaperSize) {
    case kDmPaperA3:
        paperSize = kPaperA3;
        break;
    case kDmPaperA5:
        paperSize = kPaperA5;
        break;
    case kDmPaperB4:
        paperSize = kPaperB4;
        break;
    case kDmPaperB5:
        paperSize = kPaperB5;
        break;
    default:
        break;
    }
    PaperDimensions paper{};
    paperDimensions(paperSize, paper);
    if (direction == kPortrait)
        return {paper.shortSide, paper.longSide, kDmOrientPortrait};
    return {paper.longSide, paper.shortSide, kDmOrientLandscape};
}

int tenthsToPixels(int dpi, int tenths) {
    return saturate(pixels(dpi, tenths));
}

int edgeAllowance(int dpi) {
    return tenthsToPixels(dpi, 50);
}

int fontHeight(int sizeTenthsPt, int dpiY) {
    return saturate(Wide{sizeTenthsPt} * dpiY / 720);
}

PrinterExtents printerExtents(int pageWidthTenths, int pageHeightTenths, int paperWidthTenths,
                              int paperHeightTenths, int dpiX, int dpiY) {
    return {{tenthsToPixels(dpiX, pageWidthTenths), tenthsToPixels(dpiY, pageHeightTenths)},
            {tenthsToPixels(dpiX, paperWidthTenths), tenthsToPixels(dpiY, paperHeightTenths)}};
}

PageGeometry printerGeometry(int pageWidthTenths, int pageHeightTenths, const FormInfo& form, int dpiX,
                             int dpiY) {
    const Wide m5x = pixels(dpiX, 50);
    const Wide m5y = pixels(dpiY, 50);
    const Wide formW = pixels(dpiX, pageWidthTenths);
    const Wide formH = pixels(dpiY, pageHeightTenths);
    const Wide originX = std::max<Wide>(pixels(dpiX, form.leftMargin) - m5x, 0);
    const Wide originY = std::max<Wide>(pixels(dpiY, form.topMargin) - m5y, 0);
    PageGeometry g;
    g.originX = saturate(originX);
    g.originY = saturate(originY);
    g.cellW = saturate(divide(formW - originX - 2 * m5x, form.columns));
    g.cellH = saturate(divide(formH - originY - 2 * m5y, form.rows));
    g.pageW = saturate(formW);
    g.pageH = saturate(formH);
    return g;
}

PageGeometry previewGeometry(int pageWidthTenths, int pageHeightTenths, const FormInfo& form, int dpiX,
                             int dpiY) {
    const Wide m5x = pixels(dpiX, 50);
    const Wide m5y = pixels(dpiY, 50);
    const Wide w0 = pixels(dpiX, pageWidthTenths);
    const Wide h0 = pixels(dpiY, pageHeightTenths);
    const Wide originX = std::max(pixels(dpiX, form.leftMargin), m5x);
    const Wide originY = std::max(pixels(dpiY, form.topMargin), m5y);
    const Wide cellW = divide(w0 - originX - 2 * m5x, form.columns);
    const Wide cellH = divide(h0 - originY - 2 * m5y, form.rows);
    PageGeometry g;
    g.originX = saturate(originX);
    g.originY = saturate(originY);
    g.cellW = saturate(cellW);
    g.cellH = saturate(cellH);
    g.pageW = saturate(originX + 2 * m5x + Wide{form.columns} * cellW);
    g.pageH = saturate(originY + 2 * m5y + Wide{form.rows} * cellH);
    return g;
}

PixelSize previewViewportExt(const PageGeometry& geometry, int zoomPercent) {
    return {saturate(Wide{geometry.pageW} * zoomPercent / 100),
            saturate(Wide{geometry.pageH} * zoomPercent / 100)};
}

CellRect cellRect(const PageGeometry& geometry, std::int64_t row, std::int64_t col, std::int64_t nRows,
                  std::int64_t nCols) {
    const Wide left = (cellNumber(col) - 1) * geometry.cellW + geometry.originX;
    const Wide top = (cellNumber(row) - 1) * geometry.cellH + geometry.originY;
    return {coordinate(left), coordinate(top), coordinate(left + cellNumber(nCols) * geometry.cellW),
            coordinate(top + cellNumber(nRows) * geometry.cellH)};
}

FigurePoints figurePoints(const PageGeometry& geometry, std::int64_t c1, std::int64_t r1, std::int64_t c2,
                          std::int64_t r2) {
    c1 = cellNumber(c1);
    r1 = cellNumber(r1);
    c2 = cellNumber(c2);
    r2 = cellNumber(r2);
    const Wide x1 = (c1 - 1) * geometry.cellW + geometry.cellW / 2 + geometry.originX;
    const Wide y1 = (r1 - 1) * geometry.cellH + geometry.originY;
    const Wide x2 = x1 + (c2 - c1) * geometry.cellW;
    const Wide y2 = y1 + (r2 - r1 + 1) * geometry.cellH;
    return {coordinate(x1), coordinate(y1), coordinate(x2), coordinate(y2)};
}

} // namespace formdesc
