#pragma once

#include "formdesc/Barcode.h"
#include "formdesc/FormModel.h"

#include <array>

// The attributes that newly drawn items take, as the edit palette shows and
// changes them. Changing them never changes an item already on the form.
namespace editor {

struct CurrentAttributes {
    // Shift-JIS, NUL-terminated: "ＭＳ 明朝".
    std::array<char, 36> fontName{"\x82\x6c\x82\x72\x20\x96\xbe\x92\xa9"};
    int fontSize = 90; // tenths of a point
    formdesc::ColorRef textColor = 0;
    // 0 every kind, 1 fields, 2 lines, 3 rectangles, 4 bitmaps.
    int selectionFilter = 0;
    int lineCourse = formdesc::kCourseH;
    int lineType = formdesc::kLineSolid;
    int lineWidth = formdesc::kWidthStandard;
    formdesc::ColorRef lineColor = 0;
    int meshKind = formdesc::kMeshFrameOnly;
    formdesc::ColorRef meshColor = formdesc::rgb(192, 192, 192);
    // A new barcode: a QR code of a constant sample.
    formdesc::BarcodeAttributes barcode{formdesc::kBarcodeQr, false, formdesc::kEccDefault, false, "SAMPLE"};
};

} // namespace editor
