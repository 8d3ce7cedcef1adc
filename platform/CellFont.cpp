#include "platform/CellFont.h"

#include "platform/FontTable.h"

#include <QtEndian>

#include <algorithm>
#include <mutex>

namespace platform {

namespace {

// Larger fonts than this are clamped: a page at 600 dpi is about 7000 pixels.
constexpr int kMaxFontPixels = 20000;

quint16 readU16(const QByteArray& table, qsizetype offset) {
    if (offset < 0 || offset + 2 > table.size())
        return 0;
    return qFromBigEndian<quint16>(table.constData() + offset);
}

// Ascent and descent as Windows measures them, as fractions of the em.
struct CellMetrics {
    qreal ascent = 0.88;
    qreal descent = 0.12;
};

CellMetrics cellMetrics(const QRawFont& raw) {
    const QByteArray head = raw.fontTable("head");
    const QByteArray os2 = raw.fontTable("OS/2");
    const qreal unitsPerEm = readU16(head, 18);
    const qreal winAscent = readU16(os2, 74);
    const qreal winDescent = readU16(os2, 76);
    if (unitsPerEm > 0 && winAscent + winDescent > 0)
        return {winAscent / unitsPerEm, winDescent / unitsPerEm};
    const qreal size = raw.pixelSize();
    if (size > 0 && raw.ascent() + raw.descent() > 0)
        return {raw.ascent() / size, raw.descent() / size};
    return {};
}

// Faces are matched and opened one at a time: fontconfig's first use and its
// caches are not for several threads at once. This is once per font and
// drawing lane, off the drawing path.
std::mutex& loadMutex() {
    static std::mutex mutex;
    return mutex;
}

QRawFont loadRawFont(const QFont& font) {
    const std::lock_guard lock(loadMutex());
    QFont sized = font;
    sized.setPixelSize(100);
    sized.setHintingPreference(QFont::PreferNoHinting);
    return QRawFont::fromFont(sized);
}

} // namespace

CellFont CellFont::load(const LogFont& key, int dpiY) {
    CellFont font;
    QFont qfont = [&] {
        const std::lock_guard lock(loadMutex());
        return FontTable::fontFor(key.faceName);
    }();
    qfont.setWeight(QFont::Weight(std::clamp(key.weight == 0 ? 400 : key.weight, 1, 1000)));
    font.raw = loadRawFont(qfont);
    if (!font.raw.isValid())
        font.raw = loadRawFont(QFont(FontTable::fallbackFamily()));
    const CellMetrics cell = cellMetrics(font.raw);

    // A positive height is the cell (ascent + descent), a negative one the em.
    const int height = std::clamp(key.height, -kMaxFontPixels, kMaxFontPixels);
    qreal em = 0;
    if (height > 0)
        em = height / (cell.ascent + cell.descent);
    else if (height < 0)
        em = -height;
    else
        em = std::max(1, dpiY) / 6.0; // twelve points
    em = std::max<qreal>(em, 0.5);
    font.em = em;
    if (font.raw.isValid())
        font.raw.setPixelSize(em);
    font.height = height > 0 ? height : std::max(1, qRound(em * (cell.ascent + cell.descent)));
    font.ascent = qRound(em * cell.ascent);

    // The average width of these faces is the advance of a half-width glyph.
    qreal halfWidth = em / 2;
    if (font.raw.isValid()) {
        const QList<quint32> zero = font.raw.glyphIndexesForString(QStringLiteral("0"));
        if (!zero.isEmpty() && zero.front() != 0) {
            const QList<QPointF> advance = font.raw.advancesForGlyphIndexes(zero);
            if (!advance.isEmpty() && advance.front().x() > 0)
                halfWidth = advance.front().x();
        }
    }
    const int width = std::min(std::abs(std::max(key.width, -kMaxFontPixels)), kMaxFontPixels);
    if (width > 0) {
        font.aveCharWidth = width;
        font.scaleX = width / halfWidth;
    } else {
        font.aveCharWidth = std::max(1, qRound(halfWidth));
    }
    return font;
}

QRawFont CellFont::loadFallback(qreal em) {
    QRawFont raw = loadRawFont(QFont(FontTable::fallbackFamily()));
    if (raw.isValid())
        raw.setPixelSize(em);
    return raw;
}

} // namespace platform
