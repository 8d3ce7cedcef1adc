#pragma once

#include "platform/DeviceContext.h"

#include <QRawFont>

#include <cstdint>
#include <string_view>

// A LOGFONT made real: the face at its em size and the Windows metrics the
// grid arithmetic expects (cell height = usWinAscent + usWinDescent,
// tmAveCharWidth = advance of a half-width glyph, double width as a
// horizontal scale). Every backend resolves fonts here, so that all outputs
// put every glyph in the same place.
namespace platform {

struct CellFont {
    QRawFont raw; // the face at `em` pixels; may be invalid when nothing loads
    qreal em = 0;
    qreal scaleX = 1;
    int height = 0;       // tmHeight
    int ascent = 0;       // rounded ascent above the baseline
    int aveCharWidth = 0; // tmAveCharWidth

    // The face, em size and metrics of a font in device pixels.
    static CellFont load(const LogFont& key, int dpiY);
    // The face for characters the resolved face lacks, at the given em.
    static QRawFont loadFallback(qreal em);
};

// The code of a one- or two-byte Shift-JIS character, lead byte high.
inline std::uint16_t sjisCharCode(std::string_view sjisChar) {
    const auto lead = static_cast<unsigned char>(sjisChar[0]);
    return sjisChar.size() >= 2 ? std::uint16_t(lead << 8 | static_cast<unsigned char>(sjisChar[1])) : lead;
}

// Where a glyph goes in its cell, as DrawText with DT_VCENTER puts it: the
// text box of tmHeight centred in the cell. A glyph is clipped to its cell
// only when it is wider than the cell by more than a pixel (the cell width is
// a rounded half of the em, so a full-width glyph is often a fraction of a
// pixel wider than its two cells) or the text box is taller than the cell.
struct CellPlacement {
    int baseline = 0;
    bool clip = false;
};

inline CellPlacement placeInCell(const Rect& cell, double scaledAdvance, int textHeight, int ascent) {
    constexpr double kClipTolerance = 1.0;
    const int cellWidth = cell.right - cell.left;
    const int cellHeight = cell.bottom - cell.top;
    return {cell.top + (cellHeight - textHeight) / 2 + ascent,
            scaledAdvance > cellWidth + kClipTolerance || textHeight > cellHeight};
}

} // namespace platform
