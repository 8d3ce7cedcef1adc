#pragma once

#include "formdesc/FormModel.h"
#include "platform/DeviceContext.h"

class QImage;

// What the runtime's page and the designer's canvas draw differently with the
// same steps. Each user builds its policy once with one of the factories
// below; the steps read it and never decide by who is drawing.
namespace render {

// When a text box is too low for its font, it grows to the font's height.
// The page compares bottom - top with the height, the canvas counts the rows
// of pixels, bottom - top + 1.
enum class HeightTest { Extent, InclusiveExtent };

// What a stored line width means and which pen stands when nothing is selected.
enum class PenRule {
    FormPen,    // print: widths as checked; the form's pen is the default
    SolidBlack, // preview: widths as checked; solid, 1, black is the default
    Canvas,     // designer: widths 1..5 by the canvas rule, scaled below 100 %
    Sheet,      // design sheet: one unit thinner from width 2 on; solid, 1, black is the default
};

struct RenderPolicy {
    HeightTest heightTest = HeightTest::Extent;
    PenRule penRule = PenRule::FormPen;
    int zoom = 100;                  // percent; the canvas's pens thin out below 100
    int minDotLength = 2;            // dense dots: the shortest dot in device pixels
    bool shortHorizontalDots = true; // a horizontal dot ends one pixel short
    bool denseDotsSolid = false;     // dense dots drawn as plain lines (SPEED=1)
    // Figures end at this row; 0 or less leaves them whole.
    int lastRow = 0;
    // How character cells reach device pixels: screens and the design sheet
    // draw at fractional scales, where cells sized by their edges cut glyphs.
    platform::CellMapping cellMapping = platform::CellMapping::Edges;
    // Drawn in the box of a bitmap that cannot be used; null leaves it empty.
    const QImage* missingBitmap = nullptr;

    static RenderPolicy print(const formdesc::FormInfo& form);
    static RenderPolicy preview();
    static RenderPolicy canvas(int zoom, const QImage* placeholder);
    // The design sheet: texts grow as on the canvas, dots and pens as printed.
    static RenderPolicy sheet(const QImage* placeholder);
};

// The pen width the canvas gives a stored line width (1..5) at a zoom.
int canvasPenWidth(int lineWidth, int zoom);
// The pen width the design sheet gives a stored line width.
int sheetPenWidth(int lineWidth);

} // namespace render
