#pragma once

#include <cstdint>

#include "formdesc/FormModel.h"

// The arithmetic that puts a form's cell grid on a device: the cell size and
// grid origin in logical units, the mapping extents, the rectangles of texts
// and the points of figures. Everything is integer arithmetic with truncation,
// in the order the results are defined by; the intermediates are 64-bit and
// the results are saturated (see kCoordinateLimit), so no input overflows.
namespace formdesc {

// Logical coordinates handed out by cellRect and figurePoints never exceed
// this magnitude. A page is at most some 40 000 units wide even at 2400 dpi;
// the limit keeps the sums done later (mapping, zoom, dotting) inside int.
inline constexpr int kCoordinateLimit = 1 << 26;

struct PageGeometry {
    int cellW = 0;   // width of one column
    int cellH = 0;   // height of one row
    int originX = 0; // left edge of column 1
    int originY = 0; // top edge of row 1
    int pageW = 0;   // the form's page (printer: the window extent; preview: trimmed to the grid)
    int pageH = 0;
};

struct PixelSize {
    int width = 0;
    int height = 0;
    bool operator==(const PixelSize&) const = default;
};

// Windows paper codes of the printer's device mode that the runtime knows;
// any other code is taken for A4.
inline constexpr int kDmPaperA3 = 8;
inline constexpr int kDmPaperA5 = 11;
inline constexpr int kDmPaperB4 = 12;
inline constexpr int kDmPaperB5 = 13;
inline constexpr int kDmOrientPortrait = 1;
inline constexpr int kDmOrientLandscape = 2;

// The printer's paper turned to the form's direction: width and height in
// tenths of a millimetre and the orientation to give the printer.
struct PrinterPaper {
    int width = 0;
    int height = 0;
    int orientation = kDmOrientLandscape;
    bool operator==(const PrinterPaper&) const = default;
};

PrinterPaper printerPaper(int dmPaperSize, int direction);

// dpi x tenths / 254: a length in tenths of a millimetre as device pixels.
int tenthsToPixels(int dpi, int tenths);
// The fixed 5 mm edge allowance, dpi x 50 / 254.
int edgeAllowance(int dpi);
// Character height of a font of sizeTenthsPt tenths of a point: s x dpiY / 720.
int fontHeight(int sizeTenthsPt, int dpiY);

// The printer's mapping: window extent = the form's page, viewport extent =
// the paper, both in device pixels.
struct PrinterExtents {
    PixelSize form;  // formWpx, formHpx
    PixelSize paper; // paperWpx, paperHpx
    bool operator==(const PrinterExtents&) const = default;
};

PrinterExtents printerExtents(int pageWidthTenths, int pageHeightTenths, int paperWidthTenths,
                              int paperHeightTenths, int dpiX, int dpiY);

// The grid on the printer: origin = margin less 5 mm (at least 0), cells
// share what is left after two allowances. pageW/pageH are formWpx/formHpx.
PageGeometry printerGeometry(int pageWidthTenths, int pageHeightTenths, const FormInfo& form, int dpiX,
                             int dpiY);

// The grid in the preview: origin = margin (at least 5 mm), and the page
// trimmed to whole cells.
PageGeometry previewGeometry(int pageWidthTenths, int pageHeightTenths, const FormInfo& form, int dpiX,
                             int dpiY);

// The viewport extent of the preview for a zoom in percent (pageW x zoom / 100).
PixelSize previewViewportExt(const PageGeometry& geometry, int zoomPercent);

struct CellRect {
    int left = 0;
    int top = 0;
    int right = 0;
    int bottom = 0;
    bool operator==(const CellRect&) const = default;
};

// The rectangle of nRows x nCols whole cells from row `row`, column `col`
// (both from 1): where texts are laid out.
CellRect cellRect(const PageGeometry& geometry, std::int64_t row, std::int64_t col, std::int64_t nRows,
                  std::int64_t nCols);

struct FigurePoints {
    int x1 = 0;
    int y1 = 0;
    int x2 = 0;
    int y2 = 0;
    bool operator==(const FigurePoints&) const = default;
};

// The points of a figure from cell (c1, r1) to cell (c2, r2): horizontally
// the middles of the two columns, vertically the top of row r1 and, counted
// from there, the bottom of row r2.
FigurePoints figurePoints(const PageGeometry& geometry, std::int64_t c1, std::int64_t r1, std::int64_t c2,
                          std::int64_t r2);

} // namespace formdesc
