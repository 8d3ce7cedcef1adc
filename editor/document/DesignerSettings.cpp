#include "DesignerSettings.h"

#include "LocalPaths.h"
#include "ProfileFile.h"
#include "ShiftJis.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>

namespace editor {

namespace {

constexpr const char* kFolderSection = "Last Folder";
constexpr const char* kWindowSection = "Last Window";
constexpr const char* kOptionSection = "Option";
constexpr const char* kFileName = "tabrik.ini";

} // namespace

bool DesignerSettings::startsMaximized() const {
    return left == -1 || top == -1 || right == -1 || bottom == -1;
}

QRect DesignerSettings::windowRect() const {
    return QRect(left, top, right - left, bottom - top);
}

void DesignerSettings::setWindow(const QRect& frame, bool maximized) {
    if (maximized) {
        left = top = right = bottom = -1;
        return;
    }
    // right and bottom are the first pixel outside the window.
    left = frame.x();
    top = frame.y();
    right = frame.x() + frame.width();
    bottom = frame.y() + frame.height();
}

QString DesignerSettings::defaultPath() {
    const QString portable = programFolder() + QLatin1Char('/') + QLatin1String(kFileName);
    if (QFileInfo(portable).isFile())
        return portable;
    QString config = qEnvironmentVariable("XDG_CONFIG_HOME");
    // Relative values are invalid by the base directory rules and are ignored.
    if (config.isEmpty() || QDir::isRelativePath(config))
        config = QDir::homePath() + QStringLiteral("/.config");
    return config + QStringLiteral("/tabrik/") + QLatin1String(kFileName);
}

void DesignerSettings::read(const QString& path) {
    *this = DesignerSettings{};
    platform::ProfileFile profile;
    profile.load(localPath(path));
    lastFolder = QString::fromStdString(formdesc::sjis::toUtf8(profile.text(kFolderSection, "folder", "")));
    left = profile.integer(kWindowSection, "left", -1);
    top = profile.integer(kWindowSection, "top", -1);
    right = profile.integer(kWindowSection, "right", -1);
    bottom = profile.integer(kWindowSection, "bottom", -1);
    modeKeep = profile.integer(kOptionSection, "ModeKeep", 0);
    updateMove = profile.integer(kOptionSection, "UpdateMove", 0);
}

bool DesignerSettings::write(const QString& path) const {
    platform::ProfileFile profile;
    profile.load(localPath(path));
    profile.setValue(kFolderSection, "folder", formdesc::sjis::fromUtf8(lastFolder.toStdString()));
    profile.setInteger(kWindowSection, "left", left);
    profile.setInteger(kWindowSection, "top", top);
    profile.setInteger(kWindowSection, "right", right);
    profile.setInteger(kWindowSection, "bottom", bottom);
    profile.setInteger(kOptionSection, "ModeKeep", modeKeep);
    profile.setInteger(kOptionSection, "UpdateMove", updateMove);
    QDir().mkpath(QFileInfo(path).absolutePath());
    return profile.save(localPath(path));
}

} // namespace editor
