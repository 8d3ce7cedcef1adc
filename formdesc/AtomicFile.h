#pragma once

#include <string>
#include <string_view>

namespace formdesc {

// Writes the bytes to a temporary file in the target's folder, flushes it to
// disk and renames it over the target. On any failure the temporary file is
// removed, the target is left untouched and false is returned. An existing
// target keeps its permission bits.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace formdesc
