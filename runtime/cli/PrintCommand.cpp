#include "Commands.h"

#include <cstdio>

namespace zrkcli {

int runPrint(const QStringList&) {
    std::fputs("zrk print: rendering is not built yet\n", stderr);
    return kExitUsage;
}

} // namespace zrkcli
