#include "platform/SharedLibrary.h"

#include <dlfcn.h>

#include <utility>

namespace platform {

SharedLibrary::SharedLibrary(const std::string& fileName) {
    // RTLD_LOCAL keeps the library's symbols out of the program's namespace,
    // so that loading it twice in one run finds the same entry points again.
    m_handle = ::dlopen(fileName.c_str(), RTLD_NOW | RTLD_LOCAL);
    if (!m_handle) {
        const char* error = ::dlerror();
        m_error = error ? error : "dlopen failed";
    }
}

SharedLibrary::~SharedLibrary() {
    unload();
}

SharedLibrary::SharedLibrary(SharedLibrary&& other) noexcept
    : m_handle(std::exchange(other.m_handle, nullptr)), m_error(std::move(other.m_error)) {}

SharedLibrary& SharedLibrary::operator=(SharedLibrary&& other) noexcept {
    if (this != &other) {
        unload();
        m_handle = std::exchange(other.m_handle, nullptr);
        m_error = std::move(other.m_error);
    }
    return *this;
}

SharedLibrary SharedLibrary::loadFirst(const std::vector<std::string>& fileNames) {
    SharedLibrary library;
    for (const std::string& name : fileNames) {
        SharedLibrary candidate(name);
        if (candidate.isLoaded())
            return candidate;
        library.m_error = candidate.m_error;
    }
    return library;
}

void* SharedLibrary::symbol(const char* name) {
    if (!m_handle)
        return nullptr;
    ::dlerror();
    void* address = ::dlsym(m_handle, name);
    if (!address) {
        const char* error = ::dlerror();
        m_error = error ? error : std::string("no symbol ") + name;
    }
    return address;
}

void SharedLibrary::unload() {
    if (m_handle) {
        ::dlclose(m_handle);
        m_handle = nullptr;
    }
}

} // namespace platform
