#include "platform/PdfPathWriter.h"

#include <cmath>

namespace platform {

namespace {

// The dash patterns of a cosmetic GDI pen, in device pixels whatever the width.
std::string_view dashPattern(PenStyle style) {
    switch (style) {
    case PenStyle::Solid:
        break;
    case PenStyle::Dash:
        return "[18 6]";
    case PenStyle::Dot:
        return "[3 3]";
    case PenStyle::DashDot:
        return "[9 6 3 6]";
    case PenStyle::DashDotDot:
        return "[9 3 3 3 3 3]";
    }
    return {};
}

// Dots are segments no longer than this; longer ones are lines.
constexpr int kMaxDotLength = 64;

} // namespace

void PdfPathWriter::reset() {
    m_color = 0;
    m_width = 1;
    m_dash.clear();
    m_inPath = false;
    m_dots = Dots{};
}

void PdfPathWriter::stroke() {
    if (m_inPath) {
        m_out.raw("S\n");
        m_inPath = false;
    }
}

void PdfPathWriter::end() {
    writeDots();
    stroke();
}

void PdfPathWriter::setPen(ColorRef color, int width, std::string_view dash) {
    if (m_color == color && m_width == width && m_dash == dash)
        return;
    stroke();
    if (m_color != color) {
        m_out.real((color & 0xFF) / 255.0).real(((color >> 8) & 0xFF) / 255.0);
        m_out.real(((color >> 16) & 0xFF) / 255.0).raw("RG\n");
        m_color = color;
    }
    if (m_width != width) {
        m_out.num(width).raw("w\n");
        m_width = width;
    }
    if (m_dash != dash) {
        m_out.raw(dash.empty() ? std::string_view("[]") : dash).raw("0 d\n");
        m_dash = dash;
    }
}

void PdfPathWriter::segment(double x1, double y1, double x2, double y2, int width) {
    const double across = (width % 2) ? 0.5 : 0.0;
    if (std::abs(x2 - x1) >= std::abs(y2 - y1)) {
        y1 += across;
        y2 += across;
    } else {
        x1 += across;
        x2 += across;
    }
    m_out.real(x1, 1).real(y1, 1).raw("m ").real(x2, 1).real(y2, 1).raw("l\n");
    m_inPath = true;
}

void PdfPathWriter::writeDots() {
    if (m_dots.count == 0)
        return;
    Dots dots = m_dots;
    m_dots.count = 0;
    std::string dash;
    if (dots.count > 1) {
        PdfStreamWriter pattern;
        pattern.raw("[").num(dots.length).num(dots.period - dots.length).raw("]");
        dash = pattern.bytes();
    }
    setPen(dots.color, dots.width, dash);
    const int end = dots.start + (dots.count - 1) * dots.period + dots.length;
    if (dots.vertical)
        segment(dots.across, dots.start, dots.across, end, dots.width);
    else
        segment(dots.start, dots.across, end, dots.across, dots.width);
}

void PdfPathWriter::line(Point from, Point to, const DevicePen& pen) {
    const int width = std::max(1, pen.width);
    if (from == to && width == 1)
        to.x += 1; // the one pixel that the painter sets
    else if (from == to)
        return;

    // Short solid segments drawn forwards along a row or column are held
    // back, as they may be the next dot of a row.
    const bool vertical = from.x == to.x;
    const int length = vertical ? to.y - from.y : to.x - from.x;
    const bool dot =
        pen.style == PenStyle::Solid && (vertical || from.y == to.y) && length > 0 && length <= kMaxDotLength;
    if (dot) {
        const int start = vertical ? from.y : from.x;
        const int across = vertical ? from.x : from.y;
        Dots& d = m_dots;
        const bool sameRow = d.count > 0 && d.vertical == vertical && d.across == across &&
                             d.length == length && d.color == pen.color && d.width == width;
        const long long next = static_cast<long long>(d.start) + static_cast<long long>(d.count) * d.period;
        if (sameRow && d.count == 1 && start > d.start + length && start - d.start <= 4 * kMaxDotLength) {
            d.period = start - d.start;
            ++d.count;
            return;
        }
        if (sameRow && d.count > 1 && start == next) {
            ++d.count;
            return;
        }
        writeDots();
        m_dots = Dots{vertical, across, start, length, 0, 1, pen.color, width};
        return;
    }
    writeDots();
    setPen(pen.color, width, dashPattern(pen.style));
    segment(from.x, from.y, to.x, to.y, width);
}

} // namespace platform
