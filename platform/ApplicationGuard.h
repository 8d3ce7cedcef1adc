#pragma once

#include <array>
#include <memory>

class QApplication;

// The runtime library and the command line draw with Qt, which needs an
// application object. A guard creates one when the caller has none (on the
// offscreen platform when there is no display) and destroys it again; when
// the caller already has one, the guard leaves it alone.
namespace platform {

class ApplicationGuard {
  public:
    ApplicationGuard();
    ~ApplicationGuard();
    ApplicationGuard(const ApplicationGuard&) = delete;
    ApplicationGuard& operator=(const ApplicationGuard&) = delete;

    // True when this guard created the application object.
    bool ownsApplication() const { return m_app != nullptr; }

    // True when neither DISPLAY nor WAYLAND_DISPLAY is set.
    static bool noDisplay();

  private:
    // QApplication keeps references to argc and argv for its lifetime.
    int m_argc = 1;
    std::array<char, 8> m_name{"zrk"};
    std::array<char*, 2> m_argv{};
    std::unique_ptr<QApplication> m_app;
};

} // namespace platform
