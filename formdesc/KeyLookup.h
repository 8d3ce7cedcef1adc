#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

// Finding KEY=VALUE items in a statement. The lookup is deliberately plain:
// the first occurrence of the key name anywhere in the statement counts, so a
// key name that also stands inside an earlier value hides the real key.
namespace formdesc {

// Value buffers: statements about the form and its fields hold longer values
// than figure statements.
inline constexpr std::size_t kLongValueBytes = 1023;
inline constexpr std::size_t kShortValueBytes = 255;

// The text after the '=' that follows the key, up to the next comma (the third
// comma for LOCATE, whose value holds two), trimmed; nothing when the key or
// the '=' is missing. The value is cut to maxValueBytes without splitting a
// double-byte character.
std::optional<std::string> findKeyValue(std::string_view statement, std::string_view key,
                                        std::size_t maxValueBytes = kLongValueBytes);

// For values that may hold commas (CONST): the text from the '=' through the
// second double quote after the key, trimmed.
std::optional<std::string> findQuotedKeyValue(std::string_view statement, std::string_view key,
                                              std::size_t maxValueBytes = kLongValueBytes);

} // namespace formdesc
