#pragma once

#include <string>
#include <string_view>

namespace formdesc {

// Writes the bytes through an OutputFile: a regular file is replaced whole
// (temporary file in the target's folder, flushed to disk, renamed over the
// target, owner, group and permission bits kept); a device, a FIFO or the
// standard output is written directly. A regular file that the user may write
// but whose owner or group a replacement cannot have (a form of another user
// in a shared group folder) is rewritten in place: its old bytes are copied
// to a temporary file beside it first, so a failure leaves the old content.
// On any failure a temporary file is removed, the target is left untouched
// (or its old bytes are kept in that copy when even putting them back
// failed), false is returned and errno holds the reason.
bool writeFileAtomically(const std::string& path, std::string_view bytes);

} // namespace formdesc
