#pragma once

#include <optional>
#include <string>
#include <string_view>

// Parsers for the values of form statements. Each one stores its results only
// when the text has the expected shape and otherwise leaves the targets as they
// were; none of them reports an error (the check pass decides).
namespace formdesc {

// Decimal conversion as the C library does it: leading white space, an
// optional sign, digits up to the first other character; 0 without digits.
// Saturates instead of overflowing.
int parseInteger(std::string_view text);

// A quoted text: the value must begin with '"'; the result runs to the next
// '"'. Nothing without a closing quote.
std::optional<std::string> parseQuoted(std::string_view value);

// Millimetres with one decimal into tenths: "5.5" gives 55, "5" gives 50.
int parseTenths(std::string_view value);

// "#RRGGBB" into a colour with red in the low byte.
bool parseColor(std::string_view value, int& color);

// "(c1, r1)-(c2, r2)".
bool parseLocate(std::string_view value, int& startCol, int& startRow, int& endCol, int& endRow);

// "a-b".
bool parsePair(std::string_view value, int& first, int& second);

// "D-count-pitch" with D one of N, H, V.
void parseLoop(std::string_view value, int& direction, int& count, int& pitch);

// "\"face\"-points"; the face is stored through storeName.
template <typename StoreName> void parseFont(std::string_view value, StoreName&& storeName, int& size);

// True only for the exact value ON.
inline bool parseOn(std::string_view value) {
    return value == "ON";
}

template <typename StoreName> void parseFont(std::string_view value, StoreName&& storeName, int& size) {
    const std::size_t hyphen = value.find('-');
    if (hyphen == std::string_view::npos)
        return;
    if (auto name = parseQuoted(value))
        storeName(*name);
    size = parseTenths(value.substr(hyphen + 1));
}

} // namespace formdesc
