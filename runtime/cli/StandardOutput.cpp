#include "runtime/cli/StandardOutput.h"

#include <cerrno>
#include <cstdio>

namespace zrkcli {

namespace {

int g_error = 0;

void keepError() {
    if (g_error == 0)
        g_error = errno != 0 ? errno : EIO;
}

} // namespace

void writeStandardOutput(std::string_view text) {
    errno = 0;
    if (std::fwrite(text.data(), 1, text.size(), stdout) != text.size())
        keepError();
}

int closeStandardOutput() {
    errno = 0;
    if (std::fflush(stdout) != 0 || std::ferror(stdout))
        keepError();
    errno = 0;
    if (std::fclose(stdout) != 0)
        keepError();
    return g_error;
}

} // namespace zrkcli
