// The library's exported entry points. Only the names listed in
// exports.map leave the library; everything else stays inside it.
#include "zrk.h"

#include "PPModule.h"
#include "PreviewJob.h"
#include "PrintJob.h"

#include <cstdio>
#include <exception>

extern "C" int ZRK_Print(uintptr_t owner, const char* formPath, const char* dataPath, const char* control) {
    // No exception may reach a C caller.
    try {
        return runtime::runPrintJob(owner, formPath, dataPath, control);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ZRK_Print: %s\n", error.what());
    } catch (...) {
        std::fputs("ZRK_Print: unexpected failure\n", stderr);
    }
    return runtime::kPrintCannotStart;
}

extern "C" int ZRK_View(uintptr_t owner, const char* formPath, const char* dataPath, const char* control) {
    try {
        return runtime::runPreviewJob(owner, formPath, dataPath, control);
    } catch (const std::exception& error) {
        std::fprintf(stderr, "ZRK_View: %s\n", error.what());
    } catch (...) {
        std::fputs("ZRK_View: unexpected failure\n", stderr);
    }
    return runtime::kViewNoDisplay;
}
