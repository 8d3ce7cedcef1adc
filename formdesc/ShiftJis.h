#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Byte-level rules of Shift-JIS (code page 932) text and its conversion to and
// from Unicode. Texts stay Shift-JIS bytes everywhere in the model; they are
// converted only where a person or a font sees them.
namespace formdesc::sjis {

// True when the byte starts a two-byte character (0x81-0x9F, 0xE0-0xFC).
constexpr bool isLeadByte(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// Byte length of the character that starts at offset (1 or 2). A lead byte at
// the very end of the text counts as a one-byte character.
std::size_t charLength(std::string_view text, std::size_t offset);

// White space as the C runtime's multibyte classification sees it: blank, tab,
// line feed, vertical tab, form feed and carriage return.
constexpr bool isSpace(unsigned char byte) {
    return byte == ' ' || (byte >= 0x09 && byte <= 0x0D);
}

// Removes white space at both ends, stepping over double-byte characters whole.
std::string_view trim(std::string_view text);

// Upper-cases single-byte a-z and full-width ａ-ｚ; trail bytes are never touched.
void toUpper(std::string& text);
std::string toUpperCopy(std::string_view text);

// The longest prefix of at most maxBytes bytes that does not split a
// double-byte character.
std::string_view cutWhole(std::string_view text, std::size_t maxBytes);

// Copies text into a fixed NUL-terminated array of the given capacity, cut
// with cutWhole so that it fits.
void storeWhole(char* dest, std::size_t capacity, std::string_view text);
// The same with a plain byte cut (tags and constants).
void storeBytes(char* dest, std::size_t capacity, std::size_t maxBytes, std::string_view text);

// The text held in a fixed NUL-terminated array.
template <std::size_t N> std::string_view view(const char (&array)[N]) {
    std::size_t length = 0;
    while (length < N && array[length] != '\0')
        ++length;
    return {array, length};
}

// A word of a text: its start offset and its length in bytes.
struct Word {
    std::size_t offset;
    std::size_t length;
};

// Splits a text at blank bytes and double-byte blanks (0x81 0x40).
std::vector<Word> splitWords(std::string_view text);

// Calls visit(offset, length) for every word, without allocating.
template <typename Visit> void forEachWord(std::string_view text, Visit&& visit) {
    std::size_t i = 0;
    const std::size_t n = text.size();
    auto blankAt = [&](std::size_t k) -> std::size_t {
        const auto b = static_cast<unsigned char>(text[k]);
        if (b == ' ')
            return 1;
        if (b == 0x81 && k + 1 < n && static_cast<unsigned char>(text[k + 1]) == 0x40)
            return 2;
        return 0;
    };
    while (i < n) {
        if (std::size_t blank = blankAt(i)) {
            i += blank;
            continue;
        }
        const std::size_t start = i;
        while (i < n && blankAt(i) == 0)
            i += charLength(text, i);
        visit(start, i - start);
    }
}

// Conversion with the Windows code page 932 table. Bytes that do not decode
// become U+FFFD; characters that have no Shift-JIS form become '?'.
std::string toUtf8(std::string_view sjisText);
std::string fromUtf8(std::string_view utf8Text);

} // namespace formdesc::sjis
