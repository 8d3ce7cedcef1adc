#include "RuntimeMessages.h"

#include "FormMessages.h"
#include "MessageSink.h"

namespace runtime {

void reportRuntimeError(int code) {
    formdesc::reportFormError(formdesc::kErrorOther, code, 0, formdesc::MessageOrigin::Library);
}

void reportNoMemory() noexcept {
    try {
        formdesc::messageSink().show(formdesc::kCaptionError, kNoMemoryText,
                                     formdesc::MessageIcon::Exclamation);
    } catch (...) {
    }
}

} // namespace runtime
