#pragma once

#include <string>
#include <vector>

// A shared library loaded at run time, unloaded when the owner goes away.
namespace platform {

class SharedLibrary {
  public:
    SharedLibrary() = default;
    // Loads the file (a bare name goes through the system's search order).
    explicit SharedLibrary(const std::string& fileName);
    ~SharedLibrary();
    SharedLibrary(SharedLibrary&& other) noexcept;
    SharedLibrary& operator=(SharedLibrary&& other) noexcept;
    SharedLibrary(const SharedLibrary&) = delete;
    SharedLibrary& operator=(const SharedLibrary&) = delete;

    // The first of the files that loads; an unloaded library when none does.
    static SharedLibrary loadFirst(const std::vector<std::string>& fileNames);

    bool isLoaded() const { return m_handle != nullptr; }
    // The loader's text for the last failure.
    const std::string& errorText() const { return m_error; }

    // The address of an exported symbol, or nullptr.
    void* symbol(const char* name);
    template <typename Function> Function function(const char* name) {
        return reinterpret_cast<Function>(symbol(name));
    }

    void unload();

  private:
    void* m_handle = nullptr;
    std::string m_error;
};

} // namespace platform
