#pragma once

#include <string>
#include <string_view>

namespace formdesc {

// Writes the bytes through an OutputFile: a regular file is replaced whole
// (temporary file in the target's folder, flushed to disk, renamed over the
// target, owner, group and permission bits kept); a device, a FIFO or the
// standard output is written directly. On any failure a temporary file is
// removed, the target is left untouched, false is returned and errno holds
// the reason.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace formdesc
