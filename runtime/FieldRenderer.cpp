#include "FieldRenderer.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "ShiftJis.h"

namespace runtime {

namespace {

using formdesc::CellRect;
using Wide = std::int64_t;
namespace sjis = formdesc::sjis;

constexpr std::size_t kCells = sizeof(DataRecord::text);

int toInt(Wide value) {
    return static_cast<int>(std::clamp<Wide>(value, -formdesc::kCoordinateLimit, formdesc::kCoordinateLimit));
}

// Narrows rect to `width`, keeping it centred the way the field flags ask for.
void centre(CellRect& rect, Wide width) {
    const Wide left = rect.left + (Wide{rect.right} - rect.left - width + 1) / 2;
    rect.left = toInt(left);
    rect.right = toInt(left + width);
}

bool isBlankChar(std::string_view ch) {
    return ch == " " || (ch.size() == 2 && static_cast<unsigned char>(ch[0]) == 0x81 &&
                         static_cast<unsigned char>(ch[1]) == 0x40);
}

} // namespace

FieldRenderer::FieldRenderer(const RenderContext& context, const formdesc::FormInfo& form)
    : m_context(context), m_form(form), m_dc(context.dc), m_geometry(context.geometry) {}

platform::LogFont FieldRenderer::baseFont(const formdesc::FormInfo& form, int dpiY) {
    platform::LogFont font;
    font.height = formdesc::fontHeight(form.fontSize, dpiY);
    font.weight = 400;
    font.faceName = std::string(sjis::view(form.fontName));
    return font;
}

platform::LogFont FieldRenderer::fieldFont(const formdesc::FieldInfo& field, int dpiY) {
    platform::LogFont font;
    font.height = formdesc::fontHeight(field.fontSize, dpiY);
    font.width = field.wide ? font.height : 0;
    font.weight = 400;
    font.faceName = std::string(sjis::view(field.fontName));
    return font;
}

bool FieldRenderer::needsOwnFont(const formdesc::FieldInfo& field, const formdesc::FormInfo& form) {
    return sjis::view(field.fontName) != sjis::view(form.fontName) || field.fontSize != form.fontSize ||
           field.wide != 0;
}

void FieldRenderer::selectFieldStyle(const formdesc::FieldInfo& field) {
    if (needsOwnFont(field, m_form)) {
        m_previousFont = m_dc.selectFont(fieldFont(field, m_context.dpiY));
        m_fontSelected = true;
        m_metricsValid = false;
        ++m_fontsCreated;
    }
    if (field.textColor != m_form.textColor) {
        m_dc.setTextColor(field.textColor);
        m_colorChanged = true;
    }
}

void FieldRenderer::restoreStyle() {
    if (m_colorChanged) {
        m_dc.setTextColor(m_form.textColor);
        m_colorChanged = false;
    }
    if (m_fontSelected) {
        m_dc.selectFont(m_previousFont);
        m_fontSelected = false;
        m_metricsValid = false;
    }
}

const platform::TextMetrics& FieldRenderer::metrics() {
    if (m_metricsValid)
        return m_metrics;
    const platform::LogFont& font = m_dc.font();
    const auto begin = m_cache.begin();
    const auto end = begin + static_cast<std::ptrdiff_t>(m_cacheCount);
    const auto hit = std::find_if(begin, end, [&](const CachedMetrics& entry) { return entry.font == font; });
    if (hit != end) {
        m_metrics = hit->metrics;
    } else {
        m_metrics = m_dc.textMetrics();
        CachedMetrics& slot = m_cache[m_cacheNext];
        slot.font = font;
        slot.metrics = m_metrics;
        m_cacheNext = (m_cacheNext + 1) % m_cache.size();
        m_cacheCount = std::max(m_cacheCount, m_cacheNext == 0 ? m_cache.size() : m_cacheNext);
    }
    m_metricsValid = true;
    return m_metrics;
}

void FieldRenderer::spreadText(std::string_view text, CellRect rect) {
    if (text.empty())
        return;
    const platform::TextMetrics tm = metrics();
    Wide top = rect.top;
    Wide bottom = rect.bottom;
    if (bottom - top < tm.height) {
        const Wide t = (tm.height + top - bottom + 1) / 2;
        top -= t;
        bottom += t;
    }
    Wide characters = 0;
    for (std::size_t i = 0; i < text.size(); i += sjis::charLength(text, i))
        ++characters;
    const Wide n = static_cast<Wide>(text.size());
    const Wide ave = tm.aveCharWidth;
    const Wide gap = characters == 1 ? 0 : (Wide{rect.right} - n * ave - rect.left + 1) / (characters - 1);

    const int cellTop = toInt(top);
    const int cellBottom = toInt(bottom);
    Wide x = rect.left;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sjis::charLength(text, i);
        const std::string_view ch = text.substr(i, length);
        const Wide advance = ave * static_cast<Wide>(length);
        // A blank leaves nothing on a transparent background; skipping it
        // saves a call per empty cell of a spread text.
        if (!isBlankChar(ch))
            m_dc.drawChar(ch, {toInt(x), cellTop, toInt(x + advance), cellBottom});
        x += gap + advance;
        i += length;
    }
}

void FieldRenderer::drawMinusMarks(std::span<char> word, const CellRect& rect, formdesc::ColorRef color) {
    if (std::find(word.begin(), word.end(), '-') == word.end())
        return;
    const platform::Pen previous = m_dc.selectPen({platform::PenStyle::Solid, 0, color});
    const platform::TextMetrics tm = metrics();
    const std::string_view text(word.data(), word.size());
    const Wide cellW = m_geometry.cellW;
    for (std::size_t i = 0; i < word.size(); i += sjis::charLength(text, i)) {
        if (word[i] != '-')
            continue;
        const Wide cx = rect.left + static_cast<Wide>(i) * cellW + cellW / 2;
        const Wide ty = rect.top + (Wide{rect.bottom} - rect.top + 1) / 2 - tm.height / 4;
        const Wide half = Wide{tm.aveCharWidth} * 3 / 8;
        const Wide base = ty + tm.height / 2;
        m_dc.moveTo(toInt(cx), toInt(ty));
        m_dc.lineTo(toInt(cx - half), toInt(base));
        m_dc.lineTo(toInt(cx + half), toInt(base));
        m_dc.lineTo(toInt(cx), toInt(ty));
        word[i] = ' ';
    }
    m_dc.selectPen(previous);
}

void FieldRenderer::drawFieldText(const formdesc::FieldInfo& field, const DataRecord& record, int row) {
    std::string_view cells = record.columns(field.startCol, field.endCol);
    while (!cells.empty() && cells.back() == ' ')
        cells.remove_suffix(1);
    if (cells.empty())
        return;
    // The minus marks blank the '-' they replace, so the text is drawn from a copy.
    std::array<char, kCells> buffer;
    std::memcpy(buffer.data(), cells.data(), cells.size());
    const std::string_view text(buffer.data(), cells.size());
    const Wide n = static_cast<Wide>(text.size());

    const Wide width = Wide{field.endCol} - field.startCol + 1;
    const int rows = field.onLine ? 2 : 1;
    CellRect rect = formdesc::cellRect(m_geometry, row, field.startCol, rows, width);
    const Wide cellW = m_geometry.cellW;

    if (field.wide && field.center) {
        centre(rect, n * 2 * cellW);
        spreadText(text, rect);
    } else if (field.wide) {
        spreadText(text, rect);
    } else if (field.center) {
        centre(rect, n * cellW);
        spreadText(text, rect);
    } else if (field.space) {
        if (sjis::charLength(text, 0) == text.size())
            centre(rect, n * metrics().aveCharWidth);
        spreadText(text, rect);
    } else {
        sjis::forEachWord(text, [&](std::size_t offset, std::size_t length) {
            const CellRect wordRect = formdesc::cellRect(m_geometry, row, Wide{field.startCol} + Wide(offset),
                                                         rows, static_cast<Wide>(length));
            if (field.minus)
                drawMinusMarks({buffer.data() + offset, length}, wordRect, field.textColor);
            spreadText(text.substr(offset, length), wordRect);
        });
    }
}

void FieldRenderer::drawFreeText(const DataRecord& record, int row) {
    const std::size_t columns = static_cast<std::size_t>(std::clamp<int>(m_form.columns, 0, int(kCells)));
    const std::string_view text(record.text, columns);
    sjis::forEachWord(text, [&](std::size_t offset, std::size_t length) {
        spreadText(text.substr(offset, length),
                   formdesc::cellRect(m_geometry, row, Wide(offset) + 1, 1, static_cast<Wide>(length)));
    });
}

void FieldRenderer::drawFieldShading(const formdesc::FieldInfo& field, int row) {
    const Wide c1 = field.startCol > 1 ? Wide{field.startCol} - 1 : field.startCol;
    const Wide c2 = field.endCol < m_form.columns ? Wide{field.endCol} + 1 : field.endCol;
    const formdesc::FigurePoints p = formdesc::figurePoints(m_geometry, c1, row, c2, Wide{row} + 1);
    m_dc.fillRect({p.x1 + 1, p.y1 + 1, p.x2, p.y2}, field.meshColor);
}

} // namespace runtime
