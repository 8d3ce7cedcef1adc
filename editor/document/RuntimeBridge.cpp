#include "RuntimeBridge.h"

// not built yet
namespace editor {
RuntimeBridge::RuntimeBridge() : RuntimeBridge(defaultLibraryCandidates()) {}
RuntimeBridge::RuntimeBridge(std::vector<std::string> c) : m_candidates(std::move(c)) {}
int RuntimeBridge::run(const formdesc::FormModel&, const QString&, RuntimeMode, std::uintptr_t) {
    return kNoLibrary;
}
std::string RuntimeBridge::temporaryBaseName(const QString&) {
    return {};
}
std::vector<std::string> RuntimeBridge::defaultLibraryCandidates() {
    return {kLibraryName};
}
} // namespace editor
