#pragma once

#include <string_view>

// Standard output of the commands. A write that fails (a full disk, a closed
// stream) must fail the command; the C stream only keeps an error flag, so
// the first failure's error number is kept here.
namespace zrkcli {

void writeStandardOutput(std::string_view text);

// Flushes and closes standard output: 0, or the error number of the first
// failure.
int closeStandardOutput();

} // namespace zrkcli
