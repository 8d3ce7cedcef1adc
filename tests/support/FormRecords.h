#pragma once

#include <cstdint>
#include <string>

#include "formdesc/Barcode.h"
#include "formdesc/FormModel.h"
#include "formdesc/ShiftJis.h"

// Records built field by field for the tests of drawing and composition.
namespace testsupport {

// A form of 180 x 60 cells with a solid pen of the width the print job
// stores for width 1.
inline formdesc::FormInfo printForm180x60() {
    formdesc::FormInfo form{};
    form.columns = 180;
    form.rows = 60;
    form.lineType = formdesc::kLineSolid;
    form.lineWidth = 0;
    return form;
}

inline formdesc::FigureInfo figureRecord(int kind, int c1, int r1, int c2, int r2) {
    formdesc::FigureInfo f{};
    f.kind = kind;
    f.startCol = c1;
    f.startRow = r1;
    f.endCol = c2;
    f.endRow = r2;
    f.lineType = formdesc::kLineSolid;
    return f;
}

inline formdesc::FigureInfo lineRecord(int c1, int r1, int c2, int r2, int course,
                                       int type = formdesc::kLineSolid, int width = 0) {
    formdesc::FigureInfo f = figureRecord(formdesc::kKindLine, c1, r1, c2, r2);
    f.course = course;
    f.lineType = type;
    f.lineWidth = width;
    return f;
}

// A field as the designer makes it: one row high, in the new form's font.
inline formdesc::FieldInfo fieldRecord(int c1, int row, int c2, const char* tag = "") {
    formdesc::FieldInfo f{};
    f.startCol = c1;
    f.startRow = row;
    f.endCol = c2;
    f.endRow = row;
    formdesc::sjis::storeBytes(f.tag, sizeof f.tag, 8, tag);
    formdesc::sjis::storeWhole(f.fontName, sizeof f.fontName, formdesc::sjis::fromUtf8("ＭＳ 明朝"));
    f.fontSize = 90;
    return f;
}

// A rectangle with the new form's standard pen.
inline formdesc::FigureInfo rectRecord(int c1, int r1, int c2, int r2,
                                       int meshKind = formdesc::kMeshFrameOnly) {
    formdesc::FigureInfo f = figureRecord(formdesc::kKindRect, c1, r1, c2, r2);
    f.lineWidth = formdesc::kWidthStandard;
    f.meshKind() = meshKind;
    f.meshColor = formdesc::rgb(192, 192, 192);
    return f;
}

inline formdesc::FigureInfo bitmapRecord(int c1, int r1, int c2, int r2, const char* fileName) {
    formdesc::FigureInfo f = figureRecord(formdesc::kKindBitmap, c1, r1, c2, r2);
    f.lineType = 0;
    formdesc::sjis::storeWhole(f.fileName(), sizeof f.fileName(), fileName);
    return f;
}

// A barcode as the reader stores it: colour and attribute bytes only.
inline formdesc::FigureInfo barcodeRecord(int c1, int r1, int c2, int r2, int type, const std::string& text,
                                          bool fromField = false, bool hri = false,
                                          int ecc = formdesc::kEccDefault) {
    formdesc::FigureInfo f = figureRecord(formdesc::kKindBarcode, c1, r1, c2, r2);
    f.lineType = 0;
    formdesc::storeBarcode(f, {type, hri, ecc, fromField, text});
    return f;
}

// The bytes of a 2 x 2 BMP of 24 bits, all black.
inline std::string tinyBmp() {
    std::string b(70, '\0');
    auto put32 = [&](std::size_t at, std::uint32_t v) {
        for (int i = 0; i < 4; ++i)
            b[at + i] = static_cast<char>(v >> (8 * i));
    };
    b[0] = 'B';
    b[1] = 'M';
    put32(2, 70);
    put32(10, 54);
    put32(14, 40);
    put32(18, 2);
    put32(22, 2);
    b[26] = 1;
    b[28] = 24;
    put32(34, 16);
    return b;
}

} // namespace testsupport
