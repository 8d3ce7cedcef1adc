#include "editor/canvas/MeasuringBackend.h"

#include <QImage>

#include <algorithm>
#include <cmath>

#include "platform/CellFont.h"

namespace editor {

namespace {

// Around every box: the painter's rounding of glyph positions, hinting,
// and the smoothed edge of a glyph.
constexpr int kSlack = 2;

} // namespace

MeasuringBackend::MeasuringBackend(int dpiX, int dpiY)
    : m_dpiX(std::max(1, dpiX)), m_dpiY(std::max(1, dpiY)), m_glyphs(m_dpiY, {}) {}

QRect MeasuringBackend::box() const {
    return m_box.isEmpty() ? QRect() : m_box.adjusted(-kSlack, -kSlack, kSlack, kSlack);
}

void MeasuringBackend::add(int left, int top, int right, int bottom) {
    if (right <= left || bottom <= top)
        return;
    m_box |= QRect(QPoint(left, top), QPoint(right - 1, bottom - 1));
}

void MeasuringBackend::drawLine(platform::Point from, platform::Point to, const platform::DevicePen& pen) {
    // Half the pen on each side of the centre line, rounded up, and the end
    // pixel the painter may add.
    const int half = std::max(1, pen.width) / 2 + 1;
    add(std::min(from.x, to.x) - half, std::min(from.y, to.y) - half, std::max(from.x, to.x) + half + 1,
        std::max(from.y, to.y) + half + 1);
}

void MeasuringBackend::fillRect(const platform::Rect& rect, platform::ColorRef) {
    add(rect.left, rect.top, rect.right, rect.bottom);
}

platform::TextMetrics MeasuringBackend::textMetrics(const platform::DeviceFont& font) {
    // As the painter's backend answers: the cell rules of the loaded font.
    const Glyphs::Font& loaded = m_glyphs.font(font.font);
    return {loaded.cell.height, loaded.cell.aveCharWidth};
}

void MeasuringBackend::drawChar(std::string_view sjisChar, const platform::Rect& cell,
                                const platform::DeviceFont& deviceFont, platform::ColorRef) {
    if (sjisChar.empty() || sjisChar.front() == '\0')
        return;
    if (cell.right <= cell.left || cell.bottom <= cell.top)
        return;
    Glyphs::Font& font = m_glyphs.font(deviceFont.font);
    const Glyphs::Glyph& glyph = m_glyphs.glyph(font, platform::sjisCharCode(sjisChar));
    if (glyph.source == 0)
        return;
    const auto [baseline, clip] =
        platform::placeInCell(cell, glyph.advance * font.cell.scaleX, font.cell.height, font.cell.ascent);
    if (clip) {
        add(cell.left, cell.top, cell.right, cell.bottom);
        return;
    }
    // The glyph's origin is the cell's left edge on the baseline; double
    // width stretches it across.
    const QRectF& outline = Glyphs::outlineBox(font, glyph);
    const double scaleX = font.cell.scaleX;
    add(int(std::floor(cell.left + outline.left() * scaleX)), int(std::floor(baseline + outline.top())),
        int(std::ceil(cell.left + outline.right() * scaleX)) + 1,
        int(std::ceil(baseline + outline.bottom())) + 1);
}

void MeasuringBackend::drawImage(const QImage& image, const platform::Rect& dest) {
    if (!image.isNull())
        add(dest.left, dest.top, dest.right, dest.bottom);
}

} // namespace editor
