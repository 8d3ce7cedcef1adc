#pragma once

#include "platform/DeviceContext.h"
#include "platform/GlyphCache.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPen>
#include <QPointF>
#include <QRawFont>
#include <QRect>
#include <QStringDecoder>

#include <cstdint>
#include <memory>
#include <vector>

class QPainter;

namespace platform {
class Stamps;
}

// Draws the device context's calls with a QPainter on any paint device: an
// image, a PDF writer, a printer or a widget's back buffer. Coordinates are
// device pixels, so the painter must have no transform of its own.
//
// Text arrives one character per grid cell. To keep that fast, fonts and
// glyph indexes are cached, and consecutive characters of the same font,
// colour and baseline are collected into one positioned glyph run, drawn when
// something else is drawn, the font, colour or row changes, or flush() is
// called. Characters cut to their cells are collected the same way, along a
// row of cells that do not overlap, and drawn in a few runs, each clipped to
// the cells of glyphs that do not reach into each other's cells. Call
// flush() before ending a page or the painter.
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
    static void applyRenderHints(QPainter& painter);

    // From now on characters and straight lines are written into the
    // painter's image by stamps (of the backend's resolution), where it
    // can: an image of opaque 32-bit pixels with no transform; false when
    // it cannot. They then stay inside the stamp clip (first the whole
    // image), which must be the painter's clip as well.
    bool stampWith(Stamps& stamps);
    void setStampClip(const QRect& clip) { m_stampClip = clip; }
    bool stamping() const { return m_stamps != nullptr; }
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
    // The painter's pen for a device pen: flat ends, GDI's dash patterns.
    static QPen qtPen(const DevicePen& pen);
    // A positioned run of glyphs; positions are in pixels divided by scaleX,
    // the run stretched by scaleX.
    static void drawGlyphs(QPainter& painter, const QRawFont& raw, qreal scaleX, const QColor& color,
                           const QList<quint32>& glyphs, const QList<QPointF>& positions);

  private:
    // The outlines of the glyphs cut to their cells are kept beside their fonts.
    using Glyphs = GlyphCache<GlyphOutlines>;
    using Font = Glyphs::Font;
    using Glyph = Glyphs::Glyph;

    // A glyph cut to its cell: the cell's left and right, and how far its
    // ink may reach (device pixels).
    struct CutGlyph {
        quint32 index;
        int left;
        int right;
        int inkLeft;
        int inkRight;
    };

    void addCut(Font& font, const Glyph& glyph, const Rect& cell, int baseline, ColorRef color);
    void drawCut();
    const QImage* stretchedCopy(const QImage& image, QSize size);
    void drawRun(const QRawFont& raw, qreal scaleX, const QColor& color, const QList<quint32>& glyphs,
                 const QList<QPointF>& positions);
    void flushText();

    QPainter& m_painter;
    int m_dpiX;
    int m_dpiY;
    Glyphs m_glyphs;
    Stamps* m_stamps = nullptr;
    QImage* m_image = nullptr;
    QRect m_stampClip;

    // The run being collected.
    Font* m_runFont = nullptr;
    std::uint8_t m_runSource = 0;
    ColorRef m_runColor = 0;
    int m_runBaseline = 0;
    QList<quint32> m_runGlyphs;
    QList<QPointF> m_runPositions;
    long long m_runsDrawn = 0;

    // The glyphs cut to their cells being collected, on one row of cells.
    Font* m_cutFont = nullptr;
    std::uint8_t m_cutSource = 0;
    ColorRef m_cutColor = 0;
    int m_cutBaseline = 0;
    int m_cutTop = 0;
    int m_cutBottom = 0;
    std::vector<CutGlyph> m_cut;

    // Opaque pictures stretched without smoothing, by picture and size: a
    // form shows the same picture in many boxes of one size.
    struct Stretched {
        qint64 key = 0;
        QSize size;
        QImage image;
    };
    std::vector<Stretched> m_stretched;
    std::size_t m_nextStretched = 0;
};

} // namespace platform
