#pragma once

#include <QString>

#include <cstdint>
#include <string>
#include <string_view>

// Builds PDF syntax into a byte buffer: content streams, dictionaries and
// whole objects. Numbers are formatted here rather than with printf because a
// page holds thousands of them; integers and reals are followed by one blank
// so that operators can be appended directly.
namespace platform {

class PdfStreamWriter {
  public:
    const std::string& bytes() const { return m_bytes; }
    std::string& bytes() { return m_bytes; }
    std::size_t size() const { return m_bytes.size(); }
    bool empty() const { return m_bytes.empty(); }
    void clear() { m_bytes.clear(); }

    PdfStreamWriter& raw(std::string_view text) {
        m_bytes.append(text);
        return *this;
    }
    PdfStreamWriter& ch(char c) {
        m_bytes.push_back(c);
        return *this;
    }
    // An integer and a blank.
    PdfStreamWriter& num(long long value) {
        appendInt(value);
        m_bytes.push_back(' ');
        return *this;
    }
    // A real with at most `decimals` decimals, trailing zeros dropped, and a
    // blank. Values that are not finite are written as 0.
    PdfStreamWriter& real(double value, int decimals = 3) {
        appendReal(value, decimals);
        m_bytes.push_back(' ');
        return *this;
    }
    // Four hex digits, no delimiters (a two-byte glyph code).
    PdfStreamWriter& hex4(std::uint16_t value);
    // A text string as UTF-16BE with a byte order mark, in hex: <FEFF...>.
    PdfStreamWriter& textString(const QString& text);

    void appendInt(long long value);
    void appendReal(double value, int decimals);

  private:
    std::string m_bytes;
};

} // namespace platform
