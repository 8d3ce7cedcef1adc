#include "platform/ApplicationGuard.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace {

// Sets environment variables for one test and puts the old values back.
class ScopedEnvironment {
  public:
    void set(const char* name, const std::optional<std::string>& value) {
        if (!m_saved.count(name)) {
            const char* old = std::getenv(name);
            m_saved[name] = old ? std::optional<std::string>(old) : std::nullopt;
        }
        if (value)
            ::setenv(name, value->c_str(), 1);
        else
            ::unsetenv(name);
    }
    ~ScopedEnvironment() {
        for (const auto& [name, value] : m_saved)
            if (value)
                ::setenv(name.c_str(), value->c_str(), 1);
            else
                ::unsetenv(name.c_str());
    }

  private:
    std::map<std::string, std::optional<std::string>> m_saved;
};

// An X display number that no server of this machine listens on.
std::string unusedDisplay() {
    int number = 99;
    while (std::filesystem::exists("/tmp/.X11-unix/X" + std::to_string(number)))
        ++number;
    return ":" + std::to_string(number);
}

// A Unix socket that listens (a compositor that answers) as long as it lives.
class ListeningSocket {
  public:
    explicit ListeningSocket(std::string path) : m_path(std::move(path)) {
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        m_path.copy(address.sun_path, sizeof address.sun_path - 1);
        m_fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
        if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(m_fd, 4) != 0)
            std::abort();
    }
    ~ListeningSocket() {
        ::close(m_fd);
        ::unlink(m_path.c_str());
    }

  private:
    std::string m_path;
    int m_fd = -1;
};

struct PlatformRow {
    const char* name;
    std::optional<std::string> requested; // QT_QPA_PLATFORM
    bool waylandAnswers;
    std::string choice;
};

void PrintTo(const PlatformRow& row, std::ostream* out) {
    *out << row.name;
}

// Qt aborts when its platform cannot start; the guard never lets it come to
// that: a display that does not answer means the offscreen platform, which
// also stands behind any platform the user names.
class PlatformChoice : public testing::TestWithParam<PlatformRow> {};

TEST_P(PlatformChoice, FallsBackToOffscreen) {
    const PlatformRow& row = GetParam();
    const std::string folder = "/tmp/zrk-wayland-" + std::to_string(::getpid());
    std::filesystem::create_directory(folder);
    std::optional<ListeningSocket> compositor;
    if (row.waylandAnswers)
        compositor.emplace(folder + "/wayland-test");
    ScopedEnvironment environment;
    environment.set("QT_QPA_PLATFORM", row.requested);
    environment.set("DISPLAY", unusedDisplay());
    environment.set("WAYLAND_SOCKET", std::nullopt);
    environment.set("XDG_RUNTIME_DIR", folder);
    environment.set("WAYLAND_DISPLAY", std::string("wayland-test"));

    EXPECT_EQ(platform::ApplicationGuard::platformChoice(), row.choice);
    compositor.reset();
    std::filesystem::remove_all(folder);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, PlatformChoice,
    testing::Values(PlatformRow{"NoDisplayAnswers", std::nullopt, false, "offscreen"},
                    PlatformRow{"CompositorAnswersQtChooses", std::nullopt, true, ""},
                    PlatformRow{"UsersPlatformThenOffscreen", std::string("xcb"), false, "xcb;offscreen"},
                    PlatformRow{"UsersListWithOffscreenKept", std::string("xcb;offscreen"), false,
                                "xcb;offscreen"},
                    PlatformRow{"OffscreenAsked", std::string("offscreen"), false, "offscreen"}),
    [](const testing::TestParamInfo<PlatformRow>& info) { return std::string(info.param.name); });

} // namespace
