#pragma once

#include "platform/DeviceContext.h"
#include "platform/GlyphCache.h"

#include <QColor>
#include <QList>
#include <QPointF>
#include <QRawFont>
#include <QStringDecoder>

#include <cstdint>
#include <memory>
#include <unordered_map>
#include <vector>

class QPainter;

// Draws the device context's calls with a QPainter on any paint device: an
// image, a PDF writer, a printer or a widget's back buffer. Coordinates are
// device pixels, so the painter must have no transform of its own.
//
// Text arrives one character per grid cell. To keep that fast, fonts and
// glyph indexes are cached, and consecutive characters of the same font,
// colour and baseline are collected into one positioned glyph run, drawn when
// something else is drawn, the font, colour or row changes, or flush() is
// called. Call flush() before ending a page or the painter.
namespace platform {

class QtPainterBackend : public DeviceBackend {
  public:
    // The painter must be active on its device; dpiX and dpiY are the
    // device's resolution (the PDF writer's or printer's resolution, or the
    // dots per inch an image is meant for).
    QtPainterBackend(QPainter& painter, int dpiX, int dpiY);
    ~QtPainterBackend() override;
    // Sets the painter's hints again after it was ended and begun anew
    // (which puts them back to Qt's defaults).
    void applyRenderHints();
    QtPainterBackend(const QtPainterBackend&) = delete;
    QtPainterBackend& operator=(const QtPainterBackend&) = delete;

    int dpiX() const override { return m_dpiX; }
    int dpiY() const override { return m_dpiY; }
    void drawLine(Point from, Point to, const DevicePen& pen) override;
    void fillRect(const Rect& rect, ColorRef color) override;
    TextMetrics textMetrics(const DeviceFont& font) override;
    void drawChar(std::string_view sjisChar, const Rect& cell, const DeviceFont& font,
                  ColorRef color) override;
    void drawImage(const QImage& image, const Rect& dest) override;
    void flush() override;

    // Glyph runs drawn so far (for tests and benchmarks).
    long long glyphRunsDrawn() const { return m_runsDrawn; }

    static QColor toQColor(ColorRef color);

  private:
    struct NoExtra {};
    using Glyphs = GlyphCache<NoExtra>;
    using Font = Glyphs::Font;
    using Glyph = Glyphs::Glyph;

    void drawClipped(const Font& font, const Glyph& glyph, const QRect& cell, int baseline,
                     const QColor& color);
    void drawRun(const QRawFont& raw, qreal scaleX, const QColor& color, const QList<quint32>& glyphs,
                 const QList<QPointF>& positions);
    void flushText();

    QPainter& m_painter;
    int m_dpiX;
    int m_dpiY;
    Glyphs m_glyphs;

    // The run being collected.
    Font* m_runFont = nullptr;
    std::uint8_t m_runSource = 0;
    ColorRef m_runColor = 0;
    int m_runBaseline = 0;
    QList<quint32> m_runGlyphs;
    QList<QPointF> m_runPositions;
    long long m_runsDrawn = 0;
};

} // namespace platform
