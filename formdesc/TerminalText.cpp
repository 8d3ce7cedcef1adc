#include "formdesc/TerminalText.h"

#include <cstdio>

namespace formdesc {

std::string escapeControls(std::string_view utf8) {
    std::string text;
    text.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto byte = static_cast<unsigned char>(utf8[i]);
        char escaped[8];
        if ((byte < 0x20 && byte != '\t') || byte == 0x7F) {
            std::snprintf(escaped, sizeof escaped, "\\x%02X", byte);
            text += escaped;
        } else if (byte == 0xC2 && i + 1 < utf8.size() && static_cast<unsigned char>(utf8[i + 1]) >= 0x80 &&
                   static_cast<unsigned char>(utf8[i + 1]) <= 0x9F) {
            // U+0080..U+009F in UTF-8.
            std::snprintf(escaped, sizeof escaped, "\\u%04X", static_cast<unsigned char>(utf8[++i]));
            text += escaped;
        } else {
            text.push_back(char(byte));
        }
    }
    return text;
}

} // namespace formdesc
