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

// Characters and straight lines written into a 32-bit image, pixel for
// pixel as QtPainterBackend's painter writes them there, without the
// painter's cost for each call: what the painter draws once (white on
// black) is kept as a stamp. A glyph's coverage is blended into the image
// with the painter's own arithmetic, inside its cell when it is cut to it;
// a line, whose pixels the painter either sets or leaves, is set where its
// stamp is. Each stamp is checked against the painter over a background of
// every colour before it is trusted. Fonts and stamps are kept from render
// to render; one object serves one thread and one resolution.
namespace platform {

class Stamps {
  public:
    explicit Stamps(int dpiY);
    Stamps(const Stamps&) = delete;
    Stamps& operator=(const Stamps&) = delete;

    int dpiY() const { return m_dpiY; }
    TextMetrics textMetrics(const DeviceFont& font);

    // Whether characters can be written into image: opaque 32-bit pixels.
    static bool canWriteInto(const QImage& image);

    // Writes a character as QtPainterBackend::drawChar draws it, only
    // inside clip; false (nothing written) when the painter must draw this
    // glyph itself.
    bool drawChar(QImage& image, const QRect& clip, std::string_view sjisChar, const Rect& cell,
                  const DeviceFont& font, ColorRef color);

    // Writes a line as QtPainterBackend::drawLine draws it, only inside
    // clip; false (nothing written) when the painter must draw it: a
    // slanted line, one the image's edge cuts, or one without a stamp.
    bool drawLine(QImage& image, const QRect& clip, Point from, Point to, const DevicePen& pen);

  private:
    // A line's pixels from its start point: runs along rows.
    struct Run {
        int y;
        int left;
        int right; // one past the last
    };
    struct LineStamp {
        bool usable = false;
        QRect bounds;
        std::vector<Run> runs;
    };
    static LineStamp drawLineStamp(QPoint delta, const DevicePen& pen);
    static void stampLine(QImage& image, const LineStamp& stamp, QPoint from, QRgb color, const QRect& area);

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
    // By pen style and width and the line's extent.
    std::unordered_map<quint64, LineStamp> m_lines;
};

} // namespace platform
