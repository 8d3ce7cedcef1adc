#pragma once

#include "DeviceContext.h"

#include <QRawFont>

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

} // namespace platform
