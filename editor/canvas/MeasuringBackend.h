#pragma once

#include <QRect>

#include "platform/DeviceContext.h"
#include "platform/GlyphCache.h"

// A device that draws nothing and gathers the bounding box, in device
// pixels, of the pixels the painter's backend would touch for the calls it
// is given: a line with half its pen on each side, a fill or picture in its
// rectangle, a glyph's own outline where it is placed in its cell (or the
// cell, when the glyph is clipped to it). Fonts, glyphs and text metrics
// come from the same cache and cell rules as the painter's backend, so that
// texts are laid out and placed as on the buffer.
namespace editor {

class MeasuringBackend : public platform::DeviceBackend {
  public:
    MeasuringBackend(int dpiX, int dpiY);

    // Forgets the box gathered so far.
    void reset() { m_box = QRect(); }
    // The box of the calls since the last reset, grown by a little for the
    // painter's rounding and smoothed glyph edges; empty when nothing would
    // be drawn.
    QRect box() const;

    int dpiX() const override { return m_dpiX; }
    int dpiY() const override { return m_dpiY; }
    void drawLine(platform::Point from, platform::Point to, const platform::DevicePen& pen) override;
    void fillRect(const platform::Rect& rect, platform::ColorRef color) override;
    platform::TextMetrics textMetrics(const platform::DeviceFont& font) override;
    void drawChar(std::string_view sjisChar, const platform::Rect& cell, const platform::DeviceFont& font,
                  platform::ColorRef color) override;
    void drawImage(const QImage& image, const platform::Rect& dest) override;

  private:
    using Glyphs = platform::GlyphCache<platform::GlyphOutlines>;

    void add(int left, int top, int right, int bottom);

    int m_dpiX;
    int m_dpiY;
    Glyphs m_glyphs;
    QRect m_box;
};

} // namespace editor
