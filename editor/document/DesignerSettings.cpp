#include "DesignerSettings.h"

// not built yet
namespace editor {
bool DesignerSettings::startsMaximized() const {
    return true;
}
QRect DesignerSettings::windowRect() const {
    return {};
}
void DesignerSettings::setWindow(const QRect&, bool) {}
QString DesignerSettings::defaultPath() {
    return {};
}
void DesignerSettings::read(const QString&) {}
bool DesignerSettings::write(const QString&) const {
    return false;
}
} // namespace editor
