#include "RuntimeMessages.h"

#include "FormMessages.h"

namespace runtime {

void reportRuntimeError(int code) {
    formdesc::reportFormError(formdesc::kErrorOther, code, 0, formdesc::MessageOrigin::Library);
}

} // namespace runtime
