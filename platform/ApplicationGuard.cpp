#include "platform/ApplicationGuard.h"

#include "platform/FontTable.h"

#include <QApplication>

#include <cstring>

#include <dlfcn.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

namespace platform {

namespace {

// Asks the X server of DISPLAY for a connection, as Qt's X platform would,
// through libxcb loaded for the question only: a server without X libraries
// needs none (and then Qt's X platform cannot load either).
bool x11DisplayAnswers() {
    const QByteArray display = qgetenv("DISPLAY");
    if (display.isEmpty())
        return false;
    void* xcb = ::dlopen("libxcb.so.1", RTLD_NOW | RTLD_LOCAL);
    if (!xcb)
        return false;
    using Connect = void* (*)(const char*, int*);
    using HasError = int (*)(void*);
    using Disconnect = void (*)(void*);
    const auto connect = reinterpret_cast<Connect>(::dlsym(xcb, "xcb_connect"));
    const auto hasError = reinterpret_cast<HasError>(::dlsym(xcb, "xcb_connection_has_error"));
    const auto disconnect = reinterpret_cast<Disconnect>(::dlsym(xcb, "xcb_disconnect"));
    bool answers = false;
    if (connect && hasError && disconnect) {
        // A failed connect returns an error object that disconnect accepts.
        void* connection = connect(display.constData(), nullptr);
        answers = connection && hasError(connection) == 0;
        if (connection)
            disconnect(connection);
    }
    ::dlclose(xcb);
    return answers;
}

// Connects to the compositor's socket: WAYLAND_DISPLAY as a path, or as a
// name in XDG_RUNTIME_DIR.
bool waylandDisplayAnswers() {
    if (!qEnvironmentVariableIsEmpty("WAYLAND_SOCKET"))
        return true; // a connection handed over already open
    QByteArray path = qgetenv("WAYLAND_DISPLAY");
    if (path.isEmpty())
        return false;
    if (!path.startsWith('/')) {
        const QByteArray folder = qgetenv("XDG_RUNTIME_DIR");
        if (folder.isEmpty())
            return false;
        path = folder + '/' + path;
    }
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    if (static_cast<std::size_t>(path.size()) >= sizeof address.sun_path)
        return false;
    std::memcpy(address.sun_path, path.constData(), static_cast<std::size_t>(path.size()));
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0)
        return false;
    const bool answers = ::connect(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address) == 0;
    ::close(fd);
    return answers;
}

} // namespace

bool ApplicationGuard::noDisplay() {
    return !waylandDisplayAnswers() && !x11DisplayAnswers();
}

std::string ApplicationGuard::platformChoice() {
    const QByteArray requested = qgetenv("QT_QPA_PLATFORM");
    if (!requested.isEmpty()) {
        // Qt tries the list in order and takes the first platform that starts.
        if (requested.split(';').contains("offscreen"))
            return requested.toStdString();
        return requested.toStdString() + ";offscreen";
    }
    return noDisplay() ? "offscreen" : "";
}

ApplicationGuard::ApplicationGuard() {
    if (!QCoreApplication::instance()) {
        // The platform goes in as an argument: the caller's environment stays
        // as it was, and an argument outranks QT_QPA_PLATFORM.
        m_platform = platformChoice();
        m_argv = {m_name.data(), nullptr, nullptr, nullptr};
        if (!m_platform.empty()) {
            m_argv[1] = m_platformOption.data();
            m_argv[2] = m_platform.data();
            m_argc = 3;
        }
        m_app = std::make_unique<QApplication>(m_argc, m_argv.data());
    }
    // Fonts need a GUI application; a bare QCoreApplication of the caller has none.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        FontTable::installSubstitutions();
}

ApplicationGuard::~ApplicationGuard() = default;

} // namespace platform
