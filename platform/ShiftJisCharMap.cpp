#include "platform/ShiftJisCharMap.h"

namespace platform {

ShiftJisCharMap::ShiftJisCharMap() : m_decoder("windows-31j") {
    if (!m_decoder.isValid())
        m_decoder = QStringDecoder("Shift_JIS");
}

char16_t ShiftJisCharMap::unicodeFor(std::uint16_t code) {
    if (auto found = m_unicode.find(code); found != m_unicode.end())
        return found->second;
    char bytes[2];
    qsizetype length = 0;
    if (code > 0xFF)
        bytes[length++] = char(code >> 8);
    bytes[length++] = char(code & 0xFF);
    m_decoder.resetState();
    const QString text = m_decoder.decode(QByteArrayView(bytes, length));
    const bool valid =
        !m_decoder.hasError() && text.size() == 1 && text.front() != QChar::ReplacementCharacter;
    m_decoder.resetState();
    const char16_t ch = valid ? text.front().unicode() : 0;
    m_unicode.emplace(code, ch);
    return ch;
}

} // namespace platform
