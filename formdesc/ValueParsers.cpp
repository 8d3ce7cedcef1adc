#include "formdesc/ValueParsers.h"

#include "formdesc/ShiftJis.h"

#include <climits>
#include <cstdint>

namespace formdesc {

namespace {

int saturate(std::int64_t value) {
    if (value > INT_MAX)
        return INT_MAX;
    if (value < INT_MIN)
        return INT_MIN;
    return static_cast<int>(value);
}

} // namespace

int parseInteger(std::string_view text) {
    std::size_t i = 0;
    while (i < text.size() && sjis::isSpace(static_cast<unsigned char>(text[i])))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    std::int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > std::int64_t(INT_MAX) + 1)
            value = std::int64_t(INT_MAX) + 1;
    }
    return saturate(negative ? -value : value);
}

std::optional<std::string> parseQuoted(std::string_view value) {
    if (value.empty() || value.front() != '"')
        return std::nullopt;
    const std::size_t close = value.find('"', 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return std::string(value.substr(1, close - 1));
}

int parseTenths(std::string_view value) {
    const std::size_t point = value.find('.');
    if (point == std::string_view::npos)
        return saturate(std::int64_t(parseInteger(value)) * 10);
    std::int64_t scaled = parseInteger(value.substr(0, point));
    const std::string_view fraction = value.substr(point + 1);
    for (std::size_t i = 0; i < fraction.size(); ++i)
        scaled = saturate(scaled * 10);
    const std::int64_t tenths = parseInteger(fraction);
    return saturate(scaled < 0 ? scaled - tenths : scaled + tenths);
}

bool parseColor(std::string_view value, int& color) {
    if (value.empty() || value.front() != '#')
        return false;
    auto digit = [](char c) {
        const int code = static_cast<signed char>(c);
        return code <= 64 ? code - 48 : code - 55;
    };
    int parts[3] = {0, 0, 0};
    std::size_t i = 1;
    for (int& part : parts) {
        if (i + 1 < value.size()) {
            part = (digit(value[i]) * 16 + digit(value[i + 1])) & 0xFF;
            i += 2;
        } else if (i < value.size()) {
            part = digit(value[i]) & 0xFF;
            i += 1;
        }
    }
    color = parts[0] + parts[1] * 256 + parts[2] * 65536;
    return true;
}

bool parseLocate(std::string_view value, int& startCol, int& startRow, int& endCol, int& endRow) {
    static constexpr char kMarks[] = {'(', ',', ')', '-', '(', ',', ')'};
    std::size_t at[7];
    std::size_t from = 0;
    for (int k = 0; k < 7; ++k) {
        at[k] = value.find(kMarks[k], from);
        if (at[k] == std::string_view::npos)
            return false;
        from = at[k] + 1;
    }
    auto number = [&](int mark) {
        return parseInteger(value.substr(at[mark] + 1, at[mark + 1] - at[mark] - 1));
    };
    startCol = number(0);
    startRow = number(1);
    endCol = number(4);
    endRow = number(5);
    return true;
}

bool parsePair(std::string_view value, int& first, int& second) {
    const std::size_t hyphen = value.find('-');
    if (hyphen == std::string_view::npos)
        return false;
    first = parseInteger(value.substr(0, hyphen));
    second = parseInteger(value.substr(hyphen + 1));
    return true;
}

void parseLoop(std::string_view value, int& direction, int& count, int& pitch) {
    const std::size_t first = value.find('-');
    if (first == std::string_view::npos)
        return;
    switch (value.front()) {
    case 'N':
        direction = 0;
        break;
    case 'H':
        direction = 1;
        break;
    case 'V':
        direction = 2;
        break;
    default:
        break;
    }
    const std::size_t second = value.find('-', first + 1);
    if (second == std::string_view::npos)
        return;
    count = parseInteger(value.substr(first + 1, second - first - 1));
    pitch = parseInteger(value.substr(second + 1));
}

} // namespace formdesc
