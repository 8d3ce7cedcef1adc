#pragma once

#include <string_view>

#include "formdesc/PageGeometry.h"
#include "platform/DeviceContext.h"

// The arithmetic of the design and entry sheets: a numbered grid paper laid
// out for B4 and scaled as a whole onto A4 paper, with the form drawn from
// the third column and the seventh row of the sheet's own grid. Integer
// arithmetic with truncation, in the order written here.
namespace editor {

// 0: landscape, 66 rows x 200 columns; 1: portrait, 100 rows x 132 columns.
enum SheetKind : int { kSheetLandscape = 0, kSheetPortrait = 1 };

// Paper codes of the printer's device mode that the sheets are printed on.
inline constexpr int kSheetPaperA4 = 9;
inline constexpr int kSheetPaperB4 = formdesc::kDmPaperB4;

// The form's largest size that each kind takes.
inline constexpr int kLandscapeMaxRows = 66;
inline constexpr int kPortraitMaxColumns = 130;

// A form cell (c, r) is the sheet cell (c + 2, r + 6).
inline constexpr int kFormColumnShift = 2;
inline constexpr int kFormRowShift = 6;

struct SheetLayout {
    int kind = kSheetLandscape;
    int paperCode = kSheetPaperA4;
    int dpiX = 0;
    int dpiY = 0;
    platform::Size logical;  // window extent: B4 in the sheet's direction
    platform::Size viewport; // viewport extent: the paper printed on
    int cellW = 0;
    int cellH = 0;
    int offsetX = 0; // logical position of grid point (1, 1)
    int offsetY = 0;

    // The paper a printer offers, as the sheets take it: B4 stays, anything else is A4.
    static int sheetPaper(int dmPaperSize);
    static SheetLayout make(int kind, int dmPaperSize, int dpiX, int dpiY);

    // Paper in tenths of a millimetre in the sheet's direction (width across).
    platform::Size paperTenths() const;

    // Grid lines and numbers of the grid paper: the right and bottom grid
    // points of the frame (A, B) and the column of the right-hand numbers (C).
    int lastGridColumn() const;   // A
    int lastGridRow() const;      // B
    int numberColumn() const;     // C
    int formColumnsShown() const; // 200 or 132
    int formRowsShown() const;    // 66 or 100

    // The three conversions from sheet cells to logical units.
    platform::Point gridPoint(int col, int row) const;
    platform::Rect fullCellBox(int col1, int row1, int col2, int row2) const;
    platform::Rect centreLineBox(int col1, int row1, int col2, int row2) const;

    // The sheet's grid seen as a form's grid, for the shared drawing steps:
    // form cell (1, 1) lies at sheet cell (3, 7).
    formdesc::PageGeometry formGeometry() const;
};

// Which kinds a form of rows x columns fits, and the one chosen first.
struct SheetKinds {
    bool landscape = false;
    bool portrait = false;
    int preferred = kSheetLandscape;
    bool any() const { return landscape || portrait; }
    bool operator==(const SheetKinds&) const = default;
};
SheetKinds sheetKindsFor(int rows, int columns);

// A date box's text as year x 10000 + month x 100 + day: the number before
// the first '/' is the year; with a second '/' the numbers around it are the
// month and the day; with one '/' only they are 0; without any, 0.
int parseSheetDate(std::string_view text);
// "%04d/%02d/%02d" of a parsed date.
std::string formatSheetDate(int date);

} // namespace editor
