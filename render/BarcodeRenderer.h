#pragma once

#include "platform/DeviceContext.h"
#include "render/BarcodeCache.h"

// Draws an encoded symbol into a figure's box as filled rectangles, so that
// vector targets get vectors and image targets get whole-pixel modules. The
// symbol keeps its quiet zones inside the box and is centred in it. 2D codes
// and the postal code keep their proportions (square modules); the bars of a
// linear code fill the height of the box that its text leaves.
namespace render {

class BarcodeRenderer {
  public:
    // Where a symbol lands, in device pixels from the device offset.
    struct Placement {
        double module = 0;   // device pixels per module across
        double barScale = 0; // device pixels per module down, over the bars
        double left = 0;     // the symbol's corner
        double top = 0;
        float barBottom = 0; // in module units: below it, down is scaled by module
    };

    // The placement of symbol in box [left, right) x [top, bottom) (device
    // pixels). The module snaps to whole pixels when the symbol still fits.
    static Placement place(const BarcodeSymbol& symbol, const platform::Rect& box, bool keepAspect);

    // Draws symbol, or a thin cross when it could not be encoded, in the
    // box given in logical units (x1, y1)-(x2, y2) as figures have it.
    static void draw(platform::DeviceContext& dc, const platform::Rect& logicalBox,
                     const BarcodeSymbol& symbol, bool keepAspect, platform::ColorRef color);
};

} // namespace render
