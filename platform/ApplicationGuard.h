#pragma once

#include <array>
#include <memory>
#include <string>

class QApplication;

// The runtime library and the command line draw with Qt, which needs an
// application object. A guard creates one when the caller has none and
// destroys it again; when the caller already has one, the guard leaves it
// alone.
//
// Qt aborts the process when its platform cannot start (DISPLAY naming an X
// server that went away), so the guard chooses the platform itself: Qt's own
// choice when a display answers, the offscreen platform when none does, and
// the offscreen platform as the last resort after a platform that the user
// named in QT_QPA_PLATFORM.
namespace platform {

class ApplicationGuard {
  public:
    ApplicationGuard();
    ~ApplicationGuard();
    ApplicationGuard(const ApplicationGuard&) = delete;
    ApplicationGuard& operator=(const ApplicationGuard&) = delete;

    // True when this guard created the application object.
    bool ownsApplication() const { return m_app != nullptr; }

    // True when no display answers: neither the X server of DISPLAY nor the
    // Wayland compositor of WAYLAND_DISPLAY accepts a connection.
    static bool noDisplay();

    // The platform list handed to a new application object ("-platform"), or
    // empty for Qt's own choice.
    static std::string platformChoice();

  private:
    // QApplication keeps references to argc and argv for its lifetime.
    int m_argc = 1;
    std::array<char, 8> m_name{"zrk"};
    std::array<char, 16> m_platformOption{"-platform"};
    std::string m_platform;
    std::array<char*, 4> m_argv{};
    std::unique_ptr<QApplication> m_app;
};

} // namespace platform
