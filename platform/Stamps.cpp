#include "platform/Stamps.h"

#include "platform/QtPainterBackend.h"

#include <QPainter>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Whether the painter draws a glyph from its glyph cache, placed on a
// 1/64 pixel grid and the same wherever its pen stands on a whole pixel: a
// glyph of at most 64 pixels (times the stretch). A larger one it fills as
// an outline, whose pixels depend on the place, the clip and the route.
bool drawnFromCache(const QRawFont& raw, double scaleX) {
    constexpr double kMostCached = 64;
    const double size = raw.pixelSize();
    return size * size * std::abs(scaleX) <= kMostCached * kMostCached;
}

// The glyph drawn by the painter, its pen on a whole pixel.
void paintGlyph(QImage& picture, const QRawFont& raw, quint32 index, double scaleX, QPoint pen,
                QColor color) {
    QPainter painter(&picture);
    QtPainterBackend::applyRenderHints(painter);
    QtPainterBackend::drawGlyphs(painter, raw, scaleX, color, {index}, {QPointF(pen.x() / scaleX, pen.y())});
}

// x's four bytes times a / 255, rounded as the painter's raster engine does.
inline quint32 byteMul(quint32 x, quint32 a) {
    quint32 t = (x & 0xff00ff) * a;
    t = (t + ((t >> 8) & 0xff00ff) + 0x800080) >> 8;
    t &= 0xff00ff;
    x = ((x >> 8) & 0xff00ff) * a;
    x = (x + ((x >> 8) & 0xff00ff) + 0x800080);
    x &= 0xff00ff00;
    return x | t;
}

// A background of many different pixels, the same every time.
void fillWithNoise(QImage& picture) {
    quint32 state = 0x9e3779b9u;
    for (int y = 0; y < picture.height(); ++y) {
        auto* line = reinterpret_cast<quint32*>(picture.scanLine(y));
        for (int x = 0; x < picture.width(); ++x) {
            state = state * 1664525u + 1013904223u;
            line[x] = 0xff000000u | (state >> 8);
        }
    }
}

// The colour stamps are checked with.
constexpr QRgb kProbe = 0xff8a4d2bu;

// Lines longer than this, or wider, are left to the painter: their stamps
// would cost more than they save.
constexpr int kLongestStamped = 4096;
constexpr int kWidestStamped = 64;
// Line stamps kept at most; past it they are made again as they are met.
constexpr std::size_t kMostLineStamps = 8192;

// An opaque colour over a pixel with the glyph's coverage, as the raster
// engine blends a glyph into opaque 32-bit pixels.
inline quint32 blendPixel(quint32 under, quint32 color, quint32 coverage) {
    const quint32 over = byteMul(color, coverage);
    return over + byteMul(under, (~over) >> 24);
}

} // namespace

Stamps::Stamps(int dpiY) : m_dpiY(dpiY), m_glyphs(dpiY, {}) {}

TextMetrics Stamps::textMetrics(const DeviceFont& font) {
    const Glyphs::Font& loaded = m_glyphs.font(font.font);
    return {loaded.cell.height, loaded.cell.aveCharWidth};
}

bool Stamps::canWriteInto(const QImage& image) {
    return image.format() == QImage::Format_RGB32 && !image.isNull();
}

bool Stamps::drawChar(QImage& image, const QRect& clip, std::string_view sjisChar, const Rect& cell,
                      const DeviceFont& deviceFont, ColorRef color) {
    if (sjisChar.empty() || sjisChar.front() == '\0')
        return true;
    if (cell.right <= cell.left || cell.bottom <= cell.top)
        return true;
    Glyphs::Font& font = m_glyphs.font(deviceFont.font);
    const Glyphs::Glyph& glyph = m_glyphs.glyph(font, sjisCharCode(sjisChar));
    if (glyph.source == 0)
        return true;
    const Mask& mask = maskOf(font, glyph);
    if (!mask.usable)
        return false;
    const auto [baseline, cut] =
        placeInCell(cell, glyph.advance * font.cell.scaleX, font.cell.height, font.cell.ascent);
    QRect area = clip & image.rect();
    if (cut)
        area &= QRect(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
    const QColor qcolor = QtPainterBackend::toQColor(color);
    blend(image, mask, QPoint(cell.left, baseline), qcolor.rgb(), area);
    return true;
}

const Stamps::Mask& Stamps::maskOf(Glyphs::Font& font, const Glyphs::Glyph& glyph) {
    const quint64 key = Glyphs::keyOf(glyph);
    auto found = font.extra.byGlyph.find(key);
    if (found == font.extra.byGlyph.end())
        found = font.extra.byGlyph.emplace(key, drawMask(font, glyph)).first;
    return found->second;
}

Stamps::Mask Stamps::drawMask(const Glyphs::Font& font, const Glyphs::Glyph& glyph) {
    // White on black on a picture with room all round, the pen on a whole
    // pixel as the cells put it; the glyph's pixels do not depend on which.
    const QRawFont& raw = font.face(glyph.source);
    const double scaleX = font.cell.scaleX;
    const int em = std::max(8, int(std::ceil(raw.pixelSize())));
    const QPoint pen(int(std::ceil(2 * em * scaleX)), 2 * em);
    Mask mask;
    if (!drawnFromCache(raw, scaleX))
        return mask;
    QImage picture(pen.x() + int(std::ceil(2 * em * scaleX)) + 2, 4 * em, QImage::Format_RGB32);
    picture.fill(Qt::black);
    paintGlyph(picture, raw, glyph.index, scaleX, pen, Qt::white);
    int left = picture.width();
    int top = picture.height();
    int right = -1;
    int bottom = -1;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width(); ++x)
            if (qBlue(line[x]) != 0) {
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = y;
            }
    }
    const QRect ink = right < 0 ? QRect() : QRect(QPoint(left, top), QPoint(right, bottom));
    // Ink on the picture's edge may go on beyond it: the painter draws such a glyph.
    if (!ink.isEmpty() && (ink.left() == 0 || ink.top() == 0 || ink.right() == picture.width() - 1 ||
                           ink.bottom() == picture.height() - 1))
        return mask;
    if (!ink.isEmpty()) {
        mask.offset = ink.topLeft() - pen;
        mask.width = ink.width();
        mask.height = ink.height();
        mask.coverage.reserve(std::size_t(mask.width) * std::size_t(mask.height));
        for (int y = ink.top(); y <= ink.bottom(); ++y) {
            const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
            int first = mask.width;
            int end = 0;
            for (int x = ink.left(); x <= ink.right(); ++x) {
                const std::uint8_t coverage = std::uint8_t(qBlue(line[x]));
                mask.coverage.push_back(coverage);
                if (coverage != 0) {
                    first = std::min(first, x - ink.left());
                    end = x - ink.left() + 1;
                }
            }
            mask.rows.emplace_back(std::uint16_t(std::min(first, end)), std::uint16_t(end));
        }
    }
    // The painter blends some glyphs (large ones, drawn as outlines) with
    // other arithmetic: the mask serves only where it gives the painter's
    // pixels, over a background of every kind.
    QImage painted(picture.size(), QImage::Format_RGB32);
    fillWithNoise(painted);
    QImage blended = painted.copy();
    paintGlyph(painted, raw, glyph.index, scaleX, pen, QColor(kProbe));
    blend(blended, mask, pen, kProbe, blended.rect());
    mask.usable = painted == blended;
    return mask;
}

void Stamps::blend(QImage& image, const Mask& mask, QPoint pen, QRgb color, const QRect& area) {
    const QRect placed(pen + mask.offset, QSize(mask.width, mask.height));
    const QRect drawn = placed & area;
    if (drawn.isEmpty())
        return;
    const quint32 opaque = 0xff000000u | color;
    for (int y = drawn.top(); y <= drawn.bottom(); ++y) {
        const std::size_t row = std::size_t(y - placed.top());
        const int from = std::max(drawn.left(), placed.left() + mask.rows[row].first);
        const int to = std::min(drawn.right() + 1, placed.left() + mask.rows[row].second);
        const std::uint8_t* coverage = mask.coverage.data() + row * std::size_t(mask.width);
        auto* pixel = reinterpret_cast<quint32*>(image.scanLine(y));
        for (int x = from; x < to; ++x) {
            const quint32 c = coverage[x - placed.left()];
            if (c == 255)
                pixel[x] = opaque;
            else if (c != 0)
                pixel[x] = blendPixel(pixel[x], opaque, c);
        }
    }
}

bool Stamps::drawLine(QImage& image, const QRect& clip, Point from, Point to, const DevicePen& pen) {
    const QPoint delta(to.x - from.x, to.y - from.y);
    if ((delta.x() != 0 && delta.y() != 0) || std::abs(delta.x()) > kLongestStamped ||
        std::abs(delta.y()) > kLongestStamped || pen.width > kWidestStamped)
        return false;
    const quint64 key = quint64(pen.style) << 56 | quint64(std::max(1, pen.width)) << 40 |
                        quint64(delta.x() + kLongestStamped) << 20 | quint64(delta.y() + kLongestStamped);
    auto found = m_lines.find(key);
    if (found == m_lines.end()) {
        if (m_lines.size() >= kMostLineStamps)
            m_lines.clear();
        found = m_lines.emplace(key, drawLineStamp(delta, pen)).first;
    }
    const LineStamp& stamp = found->second;
    const QPoint start(from.x, from.y);
    if (!stamp.usable)
        return false;
    // Where the image's edge would cut the line, the painter cuts it its own way.
    if (!stamp.bounds.isEmpty() && !image.rect().contains(stamp.bounds.translated(start)))
        return false;
    stampLine(image, stamp, start, QtPainterBackend::toQColor(pen.color).rgb(), clip);
    return true;
}

Stamps::LineStamp Stamps::drawLineStamp(QPoint delta, const DevicePen& pen) {
    const int margin = 2 * std::max(1, pen.width) + 4;
    const QPoint start(margin + std::max(0, -delta.x()), margin + std::max(0, -delta.y()));
    const QSize size(std::abs(delta.x()) + 2 * margin + 1, std::abs(delta.y()) + 2 * margin + 1);
    const auto paint = [&](QImage& picture, QRgb color) {
        DevicePen colored = pen;
        colored.color = ColorRef(qRed(color) | qGreen(color) << 8 | qBlue(color) << 16);
        QPainter painter(&picture);
        QtPainterBackend::applyRenderHints(painter);
        painter.setPen(QtPainterBackend::qtPen(colored));
        painter.drawLine(start, start + delta);
    };
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(Qt::black);
    paint(picture, qRgb(255, 255, 255));
    LineStamp stamp;
    for (int y = 0; y < picture.height(); ++y) {
        const auto* line = reinterpret_cast<const QRgb*>(picture.constScanLine(y));
        for (int x = 0; x < picture.width();) {
            if (line[x] == qRgb(0, 0, 0)) {
                ++x;
                continue;
            }
            const int left = x;
            while (x < picture.width() && line[x] == qRgb(255, 255, 255))
                ++x;
            // A pixel half set: the painter smoothed it, which a stamp cannot give.
            if (x < picture.width() && line[x] != qRgb(0, 0, 0))
                return {};
            stamp.runs.push_back({y - start.y(), left - start.x(), x - start.x()});
            stamp.bounds |= QRect(left, y, x - left, 1);
        }
    }
    // Pixels on the picture's edge may go on beyond it.
    if (!stamp.bounds.isEmpty() && !picture.rect().adjusted(1, 1, -1, -1).contains(stamp.bounds))
        return {};
    stamp.bounds.translate(-start);
    QImage painted(size, QImage::Format_RGB32);
    fillWithNoise(painted);
    QImage stamped = painted.copy();
    paint(painted, kProbe);
    stampLine(stamped, stamp, start, kProbe, stamped.rect());
    stamp.usable = painted == stamped;
    return stamp;
}

void Stamps::stampLine(QImage& image, const LineStamp& stamp, QPoint from, QRgb color, const QRect& area) {
    const QRect inside = area & image.rect();
    const quint32 opaque = 0xff000000u | color;
    for (const Run& run : stamp.runs) {
        const int y = from.y() + run.y;
        if (y < inside.top() || y > inside.bottom())
            continue;
        const int left = std::max(inside.left(), from.x() + run.left);
        const int right = std::min(inside.right() + 1, from.x() + run.right);
        if (left < right) {
            auto* line = reinterpret_cast<quint32*>(image.scanLine(y));
            std::fill(line + left, line + right, opaque);
        }
    }
}

} // namespace platform
