// The library's exported entry points. Only the names listed in
// exports.map leave the library; everything else stays inside it.
#include "runtime/include/zrk.h"

#include "runtime/data/RuntimeMessages.h"
#include "runtime/preview/PreviewJob.h"
#include "runtime/print/PPModule.h"
#include "runtime/print/PrintJob.h"

#include <cstdio>
#include <exception>
#include <mutex>
#include <new>

namespace {

// Qt's application object, the message sink and the font tables belong to the
// whole process, so one job runs at a time; calls from other threads wait. The
// same thread may come back in while its job pumps events (a caller's timer
// that prints), as it always could.
std::recursive_mutex& jobLock() {
    static std::recursive_mutex lock;
    return lock;
}

// The last word when a failure escapes the job: no exception may reach a C
// caller, and nothing here may allocate.
void reportEscaped(const char* entry, const std::exception* error) {
    if (dynamic_cast<const std::bad_alloc*>(error))
        std::fprintf(stderr, "%s: %s\n", entry, runtime::kNoMemoryText);
    else if (error)
        std::fprintf(stderr, "%s: %s\n", entry, error->what());
    else
        std::fprintf(stderr, "%s: unexpected failure\n", entry);
}

} // namespace

extern "C" int ZRK_Print(uintptr_t owner, const char* formPath, const char* dataPath, const char* control) {
    try {
        const std::lock_guard<std::recursive_mutex> lock(jobLock());
        return runtime::runPrintJob(owner, formPath, dataPath, control);
    } catch (const std::exception& error) {
        reportEscaped("ZRK_Print", &error);
    } catch (...) {
        reportEscaped("ZRK_Print", nullptr);
    }
    return runtime::kPrintCannotStart;
}

extern "C" int ZRK_View(uintptr_t owner, const char* formPath, const char* dataPath, const char* control) {
    try {
        const std::lock_guard<std::recursive_mutex> lock(jobLock());
        return runtime::runPreviewJob(owner, formPath, dataPath, control);
    } catch (const std::exception& error) {
        reportEscaped("ZRK_View", &error);
    } catch (...) {
        reportEscaped("ZRK_View", nullptr);
    }
    return runtime::kViewNoDisplay;
}
