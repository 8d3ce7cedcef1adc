#include "platform/PdfTextWriter.h"

#include "platform/PdfEmbeddedFont.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// Below this (in thousandths of the em) a position counts as reached; it only
// absorbs the rounding of floating point.
constexpr double kEpsilon = 1e-6;

void appendColor(PdfStreamWriter& out, ColorRef color) {
    out.real((color & 0xFF) / 255.0).real(((color >> 8) & 0xFF) / 255.0).real(((color >> 16) & 0xFF) / 255.0);
    out.raw("rg\n");
}

} // namespace

void PdfTextWriter::reset() {
    m_state = State{};
    m_run.clear();
    m_inText = m_lineStarted = false;
}

void PdfTextWriter::setFill(ColorRef color) {
    if (m_state.fill == color)
        return;
    appendColor(m_out, color);
    m_state.fill = color;
}

void PdfTextWriter::add(const PdfEmbeddedFont& face, double size, double scaleX, ColorRef color, int x,
                        int baseline, std::uint16_t glyph, int width) {
    if (!m_run.empty() &&
        (m_runState.font != &face || m_runState.size != size || m_runState.scaleX != scaleX ||
         m_runState.fill != color || m_runBaseline != baseline))
        writeRun();
    if (m_run.empty()) {
        m_runState = State{&face, size, scaleX, 0, color};
        m_runBaseline = baseline;
    }
    m_run.push_back({glyph, width, x});
}

void PdfTextWriter::end() {
    writeRun();
    if (m_inText) {
        m_out.raw("ET\n");
        m_inText = false;
        m_lineStarted = false;
    }
}

// The spacing most steps of the run need, rounded up to the thousandth so
// that a long run drifts right by hairs (and is put back now and then by an
// adjustment) rather than left.
double PdfTextWriter::chooseSpacing() {
    if (m_run.size() < 2)
        return m_state.spacing;
    std::vector<long long>& needed = m_steps;
    needed.clear();
    for (std::size_t i = 1; i < m_run.size(); ++i) {
        const double step = (m_run[i].x - m_run[i - 1].x) / m_runState.scaleX;
        const double spacing = step - m_run[i - 1].width * m_runState.size / 1000.0;
        needed.push_back(std::llround(std::ceil(spacing * 1000 - kEpsilon)));
    }
    std::sort(needed.begin(), needed.end());
    long long best = needed.front();
    std::size_t bestCount = 0;
    for (std::size_t i = 0; i < needed.size();) {
        std::size_t k = i;
        while (k < needed.size() && needed[k] == needed[i])
            ++k;
        if (k - i > bestCount) {
            bestCount = k - i;
            best = needed[i];
        }
        i = k;
    }
    // A spacing that one step alone needs is not worth an operator.
    if (bestCount < 2 && std::llround(m_state.spacing * 1000) != best)
        return m_state.spacing;
    return double(best) / 1000;
}

void PdfTextWriter::writeRun() {
    if (m_run.empty())
        return;
    if (!m_inText) {
        m_out.raw("BT\n");
        m_inText = true;
        m_lineStarted = false;
    }
    if (m_state.font != m_runState.font || m_state.size != m_runState.size) {
        m_out.ch('/').raw(m_runState.font->resourceName()).ch(' ').real(m_runState.size).raw("Tf\n");
        m_state.font = m_runState.font;
        m_state.size = m_runState.size;
    }
    if (m_state.scaleX != m_runState.scaleX) {
        m_out.real(m_runState.scaleX * 100).raw("Tz\n");
        m_state.scaleX = m_runState.scaleX;
    }
    const double spacing = chooseSpacing();
    if (spacing != m_state.spacing) {
        m_out.real(spacing).raw("Tc\n");
        m_state.spacing = spacing;
    }
    setFill(m_runState.fill);

    const int x0 = m_run.front().x;
    if (!m_lineStarted || m_runBaseline != m_lineY) {
        // The text matrix turns y upwards again so that glyphs stand upright.
        if (!m_lineStarted)
            m_out.raw("1 0 0 -1 ").num(x0).num(m_runBaseline).raw("Tm\n");
        else
            m_out.num(static_cast<long long>(x0) - m_lineX)
                .num(static_cast<long long>(m_lineY) - m_runBaseline)
                .raw("Td\n");
        m_lineStarted = true;
        m_lineX = x0;
        m_lineY = m_runBaseline;
        m_penX = x0;
    }

    // Pixels per thousandth of the em along the line, as a reader computes it.
    const double unit = m_state.size * m_state.scaleX / 1000.0;
    const double spacingPixels = m_state.spacing * m_state.scaleX;
    bool inHex = false;
    m_out.ch('[');
    for (const Glyph& glyph : m_run) {
        // Rounded so that the glyph lands on its pixel or a hair right of
        // it, never left (see PdfDirectBackend::beginPage).
        const long long adjustment = std::llround(std::floor((m_penX - glyph.x) / unit + kEpsilon));
        if (adjustment != 0) {
            if (inHex)
                m_out.ch('>');
            inHex = false;
            m_out.appendInt(adjustment);
            m_penX -= double(adjustment) * unit;
        }
        if (!inHex)
            m_out.ch('<');
        inHex = true;
        m_out.hex4(glyph.index);
        m_penX += glyph.width * unit + spacingPixels;
    }
    m_out.raw(">]TJ\n");
    m_run.clear();
}

} // namespace platform
