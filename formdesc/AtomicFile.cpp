#include "AtomicFile.h"

#include "OutputFile.h"

#include <cerrno>

namespace formdesc {

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    OutputFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    file.discard();
    errno = file.errorNumber();
    return false;
}

} // namespace formdesc
