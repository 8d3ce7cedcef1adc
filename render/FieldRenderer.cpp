#include "render/FieldRenderer.h"

#include <algorithm>

#include "formdesc/ShiftJis.h"
#include "render/Saturate.h"

namespace render {

namespace {

namespace sjis = formdesc::sjis;

bool isBlankChar(std::string_view ch) {
    return ch == " " || (ch.size() == 2 && static_cast<unsigned char>(ch[0]) == 0x81 &&
                         static_cast<unsigned char>(ch[1]) == 0x40);
}

} // namespace

FieldRenderer::FieldRenderer(const RenderContext& context, const formdesc::FormInfo& form)
    : m_context(context), m_form(form), m_dc(context.dc) {}

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

void FieldRenderer::spreadText(std::string_view text, formdesc::CellRect rect) {
    if (text.empty())
        return;
    const platform::TextMetrics tm = metrics();
    Wide top = rect.top;
    Wide bottom = rect.bottom;
    const Wide height = bottom - top + (m_context.policy.heightTest == HeightTest::InclusiveExtent ? 1 : 0);
    if (height < tm.height) {
        const Wide t = (tm.height - height + 1) / 2;
        top -= t;
        bottom += t;
    }
    Wide characters = 0;
    for (std::size_t i = 0; i < text.size(); i += sjis::charLength(text, i))
        ++characters;
    const Wide n = static_cast<Wide>(text.size());
    const Wide ave = tm.aveCharWidth;
    const Wide gap = characters == 1 ? 0 : (Wide{rect.right} - n * ave - rect.left + 1) / (characters - 1);

    const int cellTop = clampToCoordinateLimit(top);
    const int cellBottom = clampToCoordinateLimit(bottom);
    Wide x = rect.left;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sjis::charLength(text, i);
        const std::string_view ch = text.substr(i, length);
        const Wide advance = ave * static_cast<Wide>(length);
        // A blank leaves nothing on a transparent background; skipping it
        // saves a call per empty cell of a spread text.
        if (!isBlankChar(ch))
            m_dc.drawChar(
                ch, {clampToCoordinateLimit(x), cellTop, clampToCoordinateLimit(x + advance), cellBottom},
                m_context.policy.cellMapping);
        x += gap + advance;
        i += length;
    }
}

} // namespace render
