#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// Form files hold bitmap paths upper-cased, often with '\' separators, while
// the files on this system keep their own case.
namespace platform {

// Finds the file that a stored path names, component by component and without
// regard to case; '\' and '/' both separate. The path is UTF-8 (convert a
// form's Shift-JIS text first, so that a trail byte 0x5C is not taken for a
// separator). An absolute path is resolved from the root; a relative one
// first against baseFolder (the form file's folder) when that is given, then
// against the current directory. An exact match wins over one that
// differs in case; among several of the latter the first in name order wins.
// Returns the real path, or nothing when no file or folder matches.
std::optional<std::filesystem::path> resolvePathIgnoringCase(std::string_view path,
                                                             const std::filesystem::path& baseFolder = {});

} // namespace platform
