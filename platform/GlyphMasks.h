#pragma once

#include "platform/DeviceContext.h"
#include "platform/GlyphCache.h"

#include <QImage>
#include <QPoint>
#include <QRect>

#include <cstdint>
#include <string_view>
#include <unordered_map>
#include <utility>
#include <vector>

// Characters written straight into a 32-bit image, pixel for pixel as
// QtPainterBackend's painter writes them there, without the painter's cost
// for each run of glyphs: the glyph's coverage, which the painter gives
// once (drawn white on black), is kept and blended into the image with the
// painter's own arithmetic. A glyph cut to its cell is blended inside the
// cell alone. Fonts, glyphs and coverage are kept from render to render;
// one object serves one thread and one resolution.
namespace platform {

class GlyphMasks {
  public:
    explicit GlyphMasks(int dpiY);
    GlyphMasks(const GlyphMasks&) = delete;
    GlyphMasks& operator=(const GlyphMasks&) = delete;

    int dpiY() const { return m_dpiY; }
    TextMetrics textMetrics(const DeviceFont& font);

    // Whether characters can be written into image: opaque 32-bit pixels.
    static bool canWriteInto(const QImage& image);

    // Writes a character as QtPainterBackend::drawChar draws it, only
    // inside clip; false (nothing written) when the painter must draw this
    // glyph itself.
    bool drawChar(QImage& image, const QRect& clip, std::string_view sjisChar, const Rect& cell,
                  const DeviceFont& font, ColorRef color);

  private:
    // A glyph's coverage, and where it stands from the pen's position.
    struct Mask {
        QPoint offset;
        int width = 0;
        int height = 0;
        bool usable = false;
        std::vector<std::uint8_t> coverage;
        // Each row's first and one past its last covered pixel.
        std::vector<std::pair<std::uint16_t, std::uint16_t>> rows;
    };
    struct Masks {
        std::unordered_map<quint64, Mask> byGlyph;
    };
    using Glyphs = GlyphCache<Masks>;

    const Mask& maskOf(Glyphs::Font& font, const Glyphs::Glyph& glyph);
    static Mask drawMask(const Glyphs::Font& font, const Glyphs::Glyph& glyph);
    static void blend(QImage& image, const Mask& mask, QPoint pen, QRgb color, const QRect& area);

    int m_dpiY;
    Glyphs m_glyphs;
};

} // namespace platform
