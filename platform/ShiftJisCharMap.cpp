#include "platform/ShiftJisCharMap.h"

#include <QStringDecoder>

namespace platform {

namespace {

QStringDecoder windowsDecoder() {
    QStringDecoder decoder("windows-31j");
    if (!decoder.isValid())
        decoder = QStringDecoder("Shift_JIS");
    return decoder;
}

} // namespace

ShiftJisCharMap::ShiftJisCharMap() = default;

char16_t ShiftJisCharMap::unicodeFor(std::uint16_t code) {
    if (auto found = m_unicode.find(code); found != m_unicode.end())
        return found->second;
    char bytes[2];
    qsizetype length = 0;
    if (code > 0xFF)
        bytes[length++] = char(code >> 8);
    bytes[length++] = char(code & 0xFF);
    // A decoder of its own for every code: once a decoder has met a byte
    // that is no character it keeps reporting an error, and every code
    // decoded after it would count as none.
    QStringDecoder decoder = windowsDecoder();
    const QString text = decoder.decode(QByteArrayView(bytes, length));
    const bool valid = !decoder.hasError() && text.size() == 1 && text.front() != QChar::ReplacementCharacter;
    const char16_t ch = valid ? text.front().unicode() : 0;
    m_unicode.emplace(code, ch);
    return ch;
}

} // namespace platform
