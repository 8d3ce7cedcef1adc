#include "platform/QtPainterBackend.h"

#include "platform/CellFont.h"

#include "platform/FontTable.h"
#include "platform/Stamps.h"

#include <QGlyphRun>
#include <QImage>
#include <QPainter>
#include <QPen>
#include <QRegion>
#include <QStringDecoder>
#include <QtEndian>

#include <algorithm>
#include <cmath>

namespace platform {

QtPainterBackend::QtPainterBackend(QPainter& painter, int dpiX, int dpiY)
    : m_painter(painter), m_dpiX(std::max(1, dpiX)), m_dpiY(std::max(1, dpiY)),
      // The run being collected may use a font that is let go.
      m_glyphs(m_dpiY, {.evicting = [this] { flushText(); }}) {
    applyRenderHints();
}

void QtPainterBackend::applyRenderHints() {
    applyRenderHints(m_painter);
}

void QtPainterBackend::applyRenderHints(QPainter& painter) {
    // Lines and fills land on whole pixels as on a GDI device; glyphs and
    // stretched images are smoothed.
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.setRenderHint(QPainter::SmoothPixmapTransform, true);
}

bool QtPainterBackend::stampWith(Stamps& stamps) {
    QPaintDevice* device = m_painter.device();
    if (stamps.dpiY() != m_dpiY || !device || device->devType() != QInternal::Image ||
        m_painter.deviceTransform().type() != QTransform::TxNone)
        return false;
    auto* image = static_cast<QImage*>(device);
    if (!Stamps::canWriteInto(*image))
        return false;
    flushText();
    m_stamps = &stamps;
    m_image = image;
    m_stampClip = image->rect();
    return true;
}

QtPainterBackend::~QtPainterBackend() {
    if (m_painter.isActive())
        flushText();
}

QColor QtPainterBackend::toQColor(ColorRef color) {
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

void QtPainterBackend::drawLine(Point from, Point to, const DevicePen& pen) {
    flushText();
    if (m_stamps && m_stamps->drawLine(*m_image, m_stampClip, from, to, pen))
        return;
    m_painter.setPen(qtPen(pen));
    m_painter.drawLine(QPoint(from.x, from.y), QPoint(to.x, to.y));
}

QPen QtPainterBackend::qtPen(const DevicePen& pen) {
    const int width = std::max(1, pen.width);
    QPen qpen(toQColor(pen.color));
    qpen.setWidth(width);
    qpen.setCapStyle(Qt::FlatCap);
    qpen.setJoinStyle(Qt::MiterJoin);
    // The patterns of a cosmetic GDI pen, in device pixels whatever the width;
    // Qt counts a dash pattern in widths, hence the division.
    QList<qreal> pattern;
    switch (pen.style) {
    case PenStyle::Solid:
        break;
    case PenStyle::Dash:
        pattern = {18, 6};
        break;
    case PenStyle::Dot:
        pattern = {3, 3};
        break;
    case PenStyle::DashDot:
        pattern = {9, 6, 3, 6};
        break;
    case PenStyle::DashDotDot:
        pattern = {9, 3, 3, 3, 3, 3};
        break;
    }
    if (!pattern.isEmpty()) {
        for (qreal& length : pattern)
            length /= width;
        qpen.setDashPattern(pattern);
    }
    return qpen;
}

void QtPainterBackend::fillRect(const Rect& rect, ColorRef color) {
    flushText();
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    m_painter.fillRect(QRect(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top),
                       toQColor(color));
}

void QtPainterBackend::drawImage(const QImage& image, const Rect& dest) {
    flushText();
    if (image.isNull() || dest.right <= dest.left || dest.bottom <= dest.top)
        return;
    const QRect target(dest.left, dest.top, dest.right - dest.left, dest.bottom - dest.top);
    if (const QImage* stretched = stretchedCopy(image, target.size())) {
        m_painter.drawImage(target.topLeft(), *stretched);
        return;
    }
    m_painter.drawImage(target, image);
}

// Unsmoothed stretching picks source pixels by their distance from the
// box's own corner, so a copy stretched once and copied into each box has
// the pixels of each stretch. Only for opaque pixels of the painter's own
// format, copied as they are, on a painter with no transform.
const QImage* QtPainterBackend::stretchedCopy(const QImage& image, QSize size) {
    constexpr std::size_t kKept = 8;
    constexpr qint64 kMostPixels = 1024 * 1024;
    if (image.format() != QImage::Format_RGB32 || image.size() == size ||
        qint64(size.width()) * size.height() > kMostPixels ||
        m_painter.testRenderHint(QPainter::SmoothPixmapTransform) ||
        m_painter.deviceTransform().type() != QTransform::TxNone || m_painter.opacity() != 1.0 ||
        m_painter.compositionMode() != QPainter::CompositionMode_SourceOver)
        return nullptr;
    for (const Stretched& kept : m_stretched)
        if (kept.key == image.cacheKey() && kept.size == size)
            return &kept.image;
    QImage stretched(size, QImage::Format_RGB32);
    {
        QPainter painter(&stretched);
        painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
        painter.drawImage(QRect(QPoint(0, 0), size), image);
    }
    if (m_stretched.size() < kKept) {
        m_stretched.push_back({image.cacheKey(), size, std::move(stretched)});
        return &m_stretched.back().image;
    }
    Stretched& slot = m_stretched[m_nextStretched];
    m_nextStretched = (m_nextStretched + 1) % kKept;
    slot = {image.cacheKey(), size, std::move(stretched)};
    return &slot.image;
}

TextMetrics QtPainterBackend::textMetrics(const DeviceFont& font) {
    if (m_stamps)
        return m_stamps->textMetrics(font);
    const Font& loaded = m_glyphs.font(font.font);
    return {loaded.cell.height, loaded.cell.aveCharWidth};
}

void QtPainterBackend::drawChar(std::string_view sjisChar, const Rect& cell, const DeviceFont& deviceFont,
                                ColorRef color) {
    if (sjisChar.empty() || sjisChar.front() == '\0')
        return;
    if (cell.right <= cell.left || cell.bottom <= cell.top)
        return;
    if (m_stamps) {
        // What the painter still holds goes first.
        flushText();
        if (m_stamps->drawChar(*m_image, m_stampClip, sjisChar, cell, deviceFont, color))
            return;
    }
    Font& font = m_glyphs.font(deviceFont.font);
    const Glyph& glyph = m_glyphs.glyph(font, sjisCharCode(sjisChar));
    if (glyph.source == 0)
        return;

    const auto [baseline, clip] =
        placeInCell(cell, glyph.advance * font.cell.scaleX, font.cell.height, font.cell.ascent);
    if (clip) {
        addCut(font, glyph, cell, baseline, color);
        return;
    }
    if (!m_cut.empty())
        drawCut();
    if (m_runFont != &font || m_runSource != glyph.source || m_runColor != color ||
        m_runBaseline != baseline) {
        flushText();
        m_runFont = &font;
        m_runSource = glyph.source;
        m_runColor = color;
        m_runBaseline = baseline;
    }
    m_runGlyphs.append(glyph.index);
    m_runPositions.append(QPointF(cell.left / font.cell.scaleX, baseline));
}

void QtPainterBackend::addCut(Font& font, const Glyph& glyph, const Rect& cell, int baseline,
                              ColorRef color) {
    // Glyphs are drawn in passes whose order differs from theirs, which
    // is sound only for cells of one row that do not overlap.
    if (m_cut.empty() || m_cutFont != &font || m_cutSource != glyph.source || m_cutColor != color ||
        m_cutBaseline != baseline || m_cutTop != cell.top || m_cutBottom != cell.bottom ||
        cell.left < m_cut.back().right) {
        flushText();
        m_cutFont = &font;
        m_cutSource = glyph.source;
        m_cutColor = color;
        m_cutBaseline = baseline;
        m_cutTop = cell.top;
        m_cutBottom = cell.bottom;
    }
    const QRectF& outline = Glyphs::outlineBox(font, glyph);
    // Beyond the outline: the painter's rounding of the position, hinting
    // and the smoothed edge.
    constexpr int kSlack = 2;
    const double scaleX = font.cell.scaleX;
    m_cut.push_back({glyph.index, cell.left, cell.right,
                     int(std::floor(cell.left + outline.left() * scaleX)) - kSlack,
                     int(std::ceil(cell.left + outline.right() * scaleX)) + kSlack});
}

void QtPainterBackend::drawCut() {
    const std::vector<CutGlyph>& cut = m_cut;
    // Glyph i and glyph i + passes never reach into each other's cells.
    std::size_t passes = 1;
    for (std::size_t i = 0; i < cut.size(); ++i) {
        std::size_t reach = 0;
        while (i + reach + 1 < cut.size() && cut[i + reach + 1].left < cut[i].inkRight)
            ++reach;
        std::size_t back = 0;
        while (back < i && cut[i - back - 1].right > cut[i].inkLeft)
            ++back;
        passes = std::max({passes, reach + 1, back + 1});
    }
    const Font& font = *m_cutFont;
    const QRawFont& raw = font.face(m_cutSource);
    const QColor color = toQColor(m_cutColor);
    const double scaleX = font.cell.scaleX;
    const int height = m_cutBottom - m_cutTop;
    for (std::size_t pass = 0; pass < std::min(passes, cut.size()); ++pass) {
        QList<quint32> glyphs;
        QList<QPointF> positions;
        std::vector<QRect> cells;
        for (std::size_t i = pass; i < cut.size(); i += passes) {
            glyphs.append(cut[i].index);
            positions.append(QPointF(cut[i].left / scaleX, m_cutBaseline));
            // Cells that touch make one rectangle, as a region keeps them.
            if (!cells.empty() && cells.back().left() + cells.back().width() == cut[i].left)
                cells.back().setWidth(cut[i].right - cells.back().left());
            else
                cells.emplace_back(cut[i].left, m_cutTop, cut[i].right - cut[i].left, height);
        }
        m_painter.save();
        if (cells.size() == 1) {
            m_painter.setClipRect(cells.front(), Qt::IntersectClip);
        } else {
            // One band of rectangles left to right, apart.
            QRegion region;
            region.setRects(cells.data(), int(cells.size()));
            m_painter.setClipRegion(region, Qt::IntersectClip);
        }
        drawRun(raw, scaleX, color, glyphs, positions);
        m_painter.restore();
    }
    m_cut.clear();
}

void QtPainterBackend::drawRun(const QRawFont& raw, qreal scaleX, const QColor& color,
                               const QList<quint32>& glyphs, const QList<QPointF>& positions) {
    drawGlyphs(m_painter, raw, scaleX, color, glyphs, positions);
    ++m_runsDrawn;
}

void QtPainterBackend::drawGlyphs(QPainter& painter, const QRawFont& raw, qreal scaleX, const QColor& color,
                                  const QList<quint32>& glyphs, const QList<QPointF>& positions) {
    QGlyphRun run;
    run.setRawFont(raw);
    run.setGlyphIndexes(glyphs);
    run.setPositions(positions);
    painter.setPen(color);
    if (scaleX != 1) {
        // Double width: the run is laid out in unscaled units and stretched.
        const QTransform previous = painter.worldTransform();
        painter.setWorldTransform(QTransform::fromScale(scaleX, 1), true);
        painter.drawGlyphRun(QPointF(), run);
        painter.setWorldTransform(previous);
    } else {
        painter.drawGlyphRun(QPointF(), run);
    }
}

void QtPainterBackend::flushText() {
    if (!m_cut.empty())
        drawCut();
    if (m_runGlyphs.isEmpty())
        return;
    drawRun(m_runFont->face(m_runSource), m_runFont->cell.scaleX, toQColor(m_runColor), m_runGlyphs,
            m_runPositions);
    m_runGlyphs.clear();
    m_runPositions.clear();
}

void QtPainterBackend::flush() {
    flushText();
}

} // namespace platform
