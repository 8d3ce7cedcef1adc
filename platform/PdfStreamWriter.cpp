#include "platform/PdfStreamWriter.h"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

constexpr char kHex[] = "0123456789ABCDEF";
// Larger magnitudes are outside what PDF readers accept as reals anyway.
constexpr double kMaxReal = 1e9;

} // namespace

void PdfStreamWriter::appendInt(long long value) {
    char digits[24];
    int count = 0;
    unsigned long long magnitude =
        value < 0 ? 0ULL - static_cast<unsigned long long>(value) : static_cast<unsigned long long>(value);
    do {
        digits[count++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    if (value < 0)
        m_bytes.push_back('-');
    while (count > 0)
        m_bytes.push_back(digits[--count]);
}

void PdfStreamWriter::appendReal(double value, int decimals) {
    static constexpr long long kPowers[] = {1, 10, 100, 1000, 10000, 100000, 1000000, 10000000, 100000000};
    if (decimals < 0)
        decimals = 0;
    if (decimals > 8)
        decimals = 8;
    if (!std::isfinite(value))
        value = 0;
    value = std::clamp(value, -kMaxReal, kMaxReal);
    const long long scale = kPowers[decimals];
    const long long scaled = std::llround(value * double(scale));
    if (scaled < 0)
        m_bytes.push_back('-');
    const unsigned long long magnitude = scaled < 0 ? 0ULL - static_cast<unsigned long long>(scaled) : scaled;
    appendInt(static_cast<long long>(magnitude / scale));
    unsigned long long fraction = magnitude % scale;
    if (fraction == 0)
        return;
    int width = decimals;
    while (fraction % 10 == 0) {
        fraction /= 10;
        --width;
    }
    m_bytes.push_back('.');
    char digits[8];
    for (int i = width - 1; i >= 0; --i) {
        digits[i] = char('0' + fraction % 10);
        fraction /= 10;
    }
    m_bytes.append(digits, std::size_t(width));
}

PdfStreamWriter& PdfStreamWriter::hex4(std::uint16_t value) {
    const char digits[4] = {kHex[value >> 12], kHex[(value >> 8) & 0xF], kHex[(value >> 4) & 0xF],
                            kHex[value & 0xF]};
    m_bytes.append(digits, 4);
    return *this;
}

PdfStreamWriter& PdfStreamWriter::textString(const QString& text) {
    m_bytes.append("<FEFF");
    for (QChar c : text)
        hex4(c.unicode());
    m_bytes.push_back('>');
    return *this;
}

} // namespace platform
