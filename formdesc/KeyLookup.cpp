#include "formdesc/KeyLookup.h"

#include "formdesc/ShiftJis.h"

namespace formdesc {

namespace {

std::optional<std::string> valueAfterEquals(std::string_view cut, std::size_t keyAt,
                                            std::size_t maxValueBytes) {
    const std::size_t equals = cut.find('=', keyAt);
    if (equals == std::string_view::npos)
        return std::nullopt;
    const std::string_view value = sjis::trim(cut.substr(equals + 1));
    return std::string(sjis::cutWhole(value, maxValueBytes));
}

} // namespace

std::optional<std::string> findKeyValue(std::string_view statement, std::string_view key,
                                        std::size_t maxValueBytes) {
    const std::size_t keyAt = statement.find(key);
    if (keyAt == std::string_view::npos)
        return std::nullopt;
    const int commasToSkip = key == "LOCATE" ? 2 : 0;
    std::size_t comma = keyAt;
    for (int i = 0; i <= commasToSkip && comma != std::string_view::npos; ++i)
        comma = statement.find(',', i == 0 ? comma : comma + 1);
    const std::string_view cut = comma == std::string_view::npos ? statement : statement.substr(0, comma);
    return valueAfterEquals(cut, keyAt, maxValueBytes);
}

std::optional<std::string> findQuotedKeyValue(std::string_view statement, std::string_view key,
                                              std::size_t maxValueBytes) {
    const std::size_t keyAt = statement.find(key);
    if (keyAt == std::string_view::npos)
        return std::nullopt;
    const std::size_t open = statement.find('"', keyAt);
    if (open == std::string_view::npos)
        return std::nullopt;
    const std::size_t close = statement.find('"', open + 1);
    if (close == std::string_view::npos)
        return std::nullopt;
    return valueAfterEquals(statement.substr(0, close + 1), keyAt, maxValueBytes);
}

} // namespace formdesc
