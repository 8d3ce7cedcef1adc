#include "ApplicationGuard.h"

#include "FontTable.h"

#include <QApplication>

namespace platform {

bool ApplicationGuard::noDisplay() {
    return qEnvironmentVariableIsEmpty("DISPLAY") && qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
}

ApplicationGuard::ApplicationGuard() {
    if (!QCoreApplication::instance()) {
        // Without a display Qt would abort looking for one; the user's own
        // choice of platform is left as it is.
        if (noDisplay() && !qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
            qputenv("QT_QPA_PLATFORM", "offscreen");
        m_argv = {m_name.data(), nullptr};
        m_app = std::make_unique<QApplication>(m_argc, m_argv.data());
    }
    // Fonts need a GUI application; a bare QCoreApplication of the caller has none.
    if (qobject_cast<QGuiApplication*>(QCoreApplication::instance()))
        FontTable::installSubstitutions();
}

ApplicationGuard::~ApplicationGuard() = default;

} // namespace platform
