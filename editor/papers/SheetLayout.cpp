#include "editor/papers/SheetLayout.h"

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstdio>
#include <limits>
#include <string>

namespace editor {

namespace {

// B4 in tenths of a millimetre, and A4: the layout is always made for B4.
constexpr int kB4Short = 2570;
constexpr int kB4Long = 3640;
constexpr int kA4Short = 2100;
constexpr int kA4Long = 2970;

int scaleTenths(int dpi, int tenths) {
    return static_cast<int>(std::int64_t{dpi} * tenths / 254);
}

// A number as the C library reads one: blanks, a sign, digits up to the
// first other character. Saturated instead of overflowing.
std::int64_t leadingNumber(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && std::isspace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
        value = std::min<std::int64_t>(value * 10 + (text[i] - '0'), std::numeric_limits<int>::max());
    return negative ? -value : value;
}

} // namespace

int SheetLayout::sheetPaper(int dmPaperSize) {
    return dmPaperSize == kSheetPaperB4 ? kSheetPaperB4 : kSheetPaperA4;
}

SheetLayout SheetLayout::make(int kind, int dmPaperSize, int dpiX, int dpiY) {
    SheetLayout layout;
    layout.kind = kind == kSheetPortrait ? kSheetPortrait : kSheetLandscape;
    layout.paperCode = sheetPaper(dmPaperSize);
    layout.dpiX = dpiX;
    layout.dpiY = dpiY;
    const bool a4 = layout.paperCode == kSheetPaperA4;
    // Ten millimetres are left over across and down for the paper's edges.
    const int marginX = scaleTenths(dpiX, 100);
    const int marginY = scaleTenths(dpiY, 100);
    if (layout.kind == kSheetPortrait) {
        layout.logical = {scaleTenths(dpiX, kB4Short), scaleTenths(dpiY, kB4Long)};
        layout.viewport =
            a4 ? platform::Size{scaleTenths(dpiX, kA4Short), scaleTenths(dpiY, kA4Long)} : layout.logical;
        layout.cellW = (layout.logical.cx - marginX) / 136;
        layout.cellH = (layout.logical.cy - marginY) / 108;
        layout.offsetX = 30;
        layout.offsetY = 25;
    } else {
        layout.logical = {scaleTenths(dpiX, kB4Long), scaleTenths(dpiY, kB4Short)};
        layout.viewport =
            a4 ? platform::Size{scaleTenths(dpiX, kA4Long), scaleTenths(dpiY, kA4Short)} : layout.logical;
        layout.cellW = (layout.logical.cx - marginX) / 204;
        layout.cellH = (layout.logical.cy - marginY) / 73;
        layout.offsetX = 50;
        layout.offsetY = 15;
    }
    return layout;
}

platform::Size SheetLayout::paperTenths() const {
    const bool a4 = paperCode == kSheetPaperA4;
    const int shortSide = a4 ? kA4Short : kB4Short;
    const int longSide = a4 ? kA4Long : kB4Long;
    return kind == kSheetPortrait ? platform::Size{shortSide, longSide} : platform::Size{longSide, shortSide};
}

int SheetLayout::lastGridColumn() const {
    return kind == kSheetPortrait ? 137 : 205;
}

int SheetLayout::lastGridRow() const {
    return kind == kSheetPortrait ? 108 : 74;
}

int SheetLayout::numberColumn() const {
    return kind == kSheetPortrait ? 135 : 203;
}

int SheetLayout::formColumnsShown() const {
    return kind == kSheetPortrait ? 132 : 200;
}

int SheetLayout::formRowsShown() const {
    return kind == kSheetPortrait ? 100 : 66;
}

platform::Point SheetLayout::gridPoint(int col, int row) const {
    return {(col - 1) * cellW + offsetX, (row - 1) * cellH + offsetY};
}

platform::Rect SheetLayout::fullCellBox(int col1, int row1, int col2, int row2) const {
    return {(col1 - 1) * cellW + offsetX, (row1 - 1) * cellH + offsetY, col2 * cellW + offsetX,
            row2 * cellH + offsetY};
}

platform::Rect SheetLayout::centreLineBox(int col1, int row1, int col2, int row2) const {
    return {(col1 - 1) * cellW + cellW / 2 + offsetX, (row1 - 1) * cellH + offsetY,
            (col2 - 1) * cellW + cellW / 2 + offsetX, row2 * cellH + offsetY};
}

formdesc::PageGeometry SheetLayout::formGeometry() const {
    formdesc::PageGeometry geometry;
    geometry.cellW = cellW;
    geometry.cellH = cellH;
    geometry.originX = offsetX + kFormColumnShift * cellW;
    geometry.originY = offsetY + kFormRowShift * cellH;
    geometry.pageW = logical.cx;
    geometry.pageH = logical.cy;
    return geometry;
}

SheetKinds sheetKindsFor(int rows, int columns) {
    SheetKinds kinds;
    kinds.landscape = rows <= kLandscapeMaxRows;
    kinds.portrait = columns <= kPortraitMaxColumns;
    kinds.preferred = rows > kLandscapeMaxRows ? kSheetPortrait : kSheetLandscape;
    return kinds;
}

int parseSheetDate(std::string_view text) {
    const std::size_t first = text.find('/');
    if (first == std::string_view::npos)
        return 0;
    const std::int64_t year = leadingNumber(text.substr(0, first));
    std::int64_t month = 0;
    std::int64_t day = 0;
    const std::size_t second = text.find('/', first + 1);
    if (second != std::string_view::npos) {
        month = leadingNumber(text.substr(first + 1, second - first - 1));
        day = leadingNumber(text.substr(second + 1));
    }
    const std::int64_t date = year * 10000 + month * 100 + day;
    return static_cast<int>(
        std::clamp<std::int64_t>(date, std::numeric_limits<int>::min(), std::numeric_limits<int>::max()));
}

std::string formatSheetDate(int date) {
    char text[48];
    std::snprintf(text, sizeof text, "%04d/%02d/%02d", date / 10000, date / 100 % 100, date % 100);
    return text;
}

} // namespace editor
