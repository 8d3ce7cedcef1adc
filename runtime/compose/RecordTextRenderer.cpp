#include "runtime/compose/RecordTextRenderer.h"

#include <algorithm>
#include <array>
#include <cstring>

#include "formdesc/ShiftJis.h"
#include "render/Saturate.h"

namespace runtime {

namespace {

using formdesc::CellRect;
using render::clampToCoordinateLimit;
using render::Wide;
namespace sjis = formdesc::sjis;

constexpr std::size_t kCells = sizeof(DataRecord::text);

// Narrows rect to `width`, keeping it centred the way the field flags ask for.
void centre(CellRect& rect, Wide width) {
    const Wide left = rect.left + (Wide{rect.right} - rect.left - width + 1) / 2;
    rect.left = clampToCoordinateLimit(left);
    rect.right = clampToCoordinateLimit(left + width);
}

} // namespace

RecordTextRenderer::RecordTextRenderer(const render::RenderContext& context, const formdesc::FormInfo& form)
    : m_form(form), m_dc(context.dc), m_geometry(context.geometry), m_text(context, form) {}

void RecordTextRenderer::drawMinusMarks(std::span<char> word, const CellRect& rect,
                                        formdesc::ColorRef color) {
    if (std::find(word.begin(), word.end(), '-') == word.end())
        return;
    const platform::Pen previous = m_dc.selectPen({platform::PenStyle::Solid, 0, color});
    const platform::TextMetrics tm = m_text.metrics();
    const std::string_view text(word.data(), word.size());
    const Wide cellW = m_geometry.cellW;
    for (std::size_t i = 0; i < word.size(); i += sjis::charLength(text, i)) {
        if (word[i] != '-')
            continue;
        const Wide cx = rect.left + static_cast<Wide>(i) * cellW + cellW / 2;
        const Wide ty = rect.top + (Wide{rect.bottom} - rect.top + 1) / 2 - tm.height / 4;
        const Wide half = Wide{tm.aveCharWidth} * 3 / 8;
        const Wide base = ty + tm.height / 2;
        m_dc.moveTo(clampToCoordinateLimit(cx), clampToCoordinateLimit(ty));
        m_dc.lineTo(clampToCoordinateLimit(cx - half), clampToCoordinateLimit(base));
        m_dc.lineTo(clampToCoordinateLimit(cx + half), clampToCoordinateLimit(base));
        m_dc.lineTo(clampToCoordinateLimit(cx), clampToCoordinateLimit(ty));
        word[i] = ' ';
    }
    m_dc.selectPen(previous);
}

void RecordTextRenderer::drawFieldText(const formdesc::FieldInfo& field, const DataRecord& record, int row) {
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
        m_text.spreadText(text, rect);
    } else if (field.wide) {
        m_text.spreadText(text, rect);
    } else if (field.center) {
        centre(rect, n * cellW);
        m_text.spreadText(text, rect);
    } else if (field.space) {
        if (sjis::charLength(text, 0) == text.size())
            centre(rect, n * m_text.metrics().aveCharWidth);
        m_text.spreadText(text, rect);
    } else {
        sjis::forEachWord(text, [&](std::size_t offset, std::size_t length) {
            const CellRect wordRect = formdesc::cellRect(m_geometry, row, Wide{field.startCol} + Wide(offset),
                                                         rows, static_cast<Wide>(length));
            if (field.minus)
                drawMinusMarks({buffer.data() + offset, length}, wordRect, field.textColor);
            m_text.spreadText(text.substr(offset, length), wordRect);
        });
    }
}

void RecordTextRenderer::drawFreeText(const DataRecord& record, int row) {
    const std::size_t columns = static_cast<std::size_t>(std::clamp<int>(m_form.columns, 0, int(kCells)));
    const std::string_view text(record.text, columns);
    sjis::forEachWord(text, [&](std::size_t offset, std::size_t length) {
        m_text.spreadText(text.substr(offset, length), formdesc::cellRect(m_geometry, row, Wide(offset) + 1,
                                                                          1, static_cast<Wide>(length)));
    });
}

void RecordTextRenderer::drawFieldShading(const formdesc::FieldInfo& field, int row) {
    const Wide c1 = field.startCol > 1 ? Wide{field.startCol} - 1 : field.startCol;
    const Wide c2 = field.endCol < m_form.columns ? Wide{field.endCol} + 1 : field.endCol;
    const formdesc::FigurePoints p = formdesc::figurePoints(m_geometry, c1, row, c2, Wide{row} + 1);
    m_dc.fillRect({p.x1 + 1, p.y1 + 1, p.x2, p.y2}, field.meshColor);
}

} // namespace runtime
