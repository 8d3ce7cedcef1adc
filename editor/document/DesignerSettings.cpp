#include "editor/document/DesignerSettings.h"

#include "editor/document/LocalPaths.h"
#include "formdesc/ShiftJis.h"
#include "platform/ProfileFile.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QUrl>

#include <climits>
#include <cstdio>

namespace editor {

namespace {

constexpr const char* kFolderSection = "Last Folder";
constexpr const char* kWindowSection = "Last Window";
constexpr const char* kOptionSection = "Option";
constexpr const char* kFileName = "tabrik.ini";
// A folder whose name Shift-JIS cannot hold is kept a second time, as
// percent-encoded UTF-8 (ASCII only), beside the Shift-JIS key.
constexpr const char* kFolderKey = "folder";
constexpr const char* kFolderUtf8Key = "folderUtf8";

// A settings file past the limit is no file the designer wrote: it is
// neither read nor written, and said so once.
bool oversized(const QString& path) {
    const QFileInfo info(path);
    return info.isFile() && info.size() > DesignerSettings::kMaxFileBytes;
}

} // namespace

bool DesignerSettings::startsMaximized() const {
    return left == -1 || top == -1 || right == -1 || bottom == -1;
}

QRect DesignerSettings::windowRect() const {
    // Values from the file may be anything: the sizes are worked out wide.
    const long long width = static_cast<long long>(right) - left;
    const long long height = static_cast<long long>(bottom) - top;
    if (width <= 0 || height <= 0 || width > INT_MAX || height > INT_MAX)
        return QRect();
    return QRect(left, top, static_cast<int>(width), static_cast<int>(height));
}

bool DesignerSettings::fitsScreen(const QRect& available) const {
    if (startsMaximized())
        return false;
    const QRect rect = windowRect();
    return rect.isValid() && rect.width() <= available.width() && rect.height() <= available.height() &&
           rect.intersects(available);
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
    if (oversized(path)) {
        std::fprintf(stderr, "tabrik: 設定ファイルが大きすぎるため使いません（%lld KB まで）: %s\n",
                     static_cast<long long>(kMaxFileBytes / 1024), localPath(path).c_str());
        return;
    }
    platform::ProfileFile profile;
    profile.load(localPath(path));
    const std::string folder = profile.text(kFolderSection, kFolderKey, "");
    lastFolder = QString::fromStdString(formdesc::sjis::toUtf8(folder));
    // The exact name is taken only while it still matches the Shift-JIS key:
    // a folder set by another program since then wins.
    const QByteArray exact = QByteArray::fromPercentEncoding(
        QByteArray::fromStdString(profile.text(kFolderSection, kFolderUtf8Key, "")));
    const QString exactFolder = QString::fromUtf8(exact);
    if (!exact.isEmpty() && exactFolder.toUtf8() == exact &&
        formdesc::sjis::fromUtf8(exact.toStdString()) == folder)
        lastFolder = exactFolder;
    left = profile.integer(kWindowSection, "left", -1);
    top = profile.integer(kWindowSection, "top", -1);
    right = profile.integer(kWindowSection, "right", -1);
    bottom = profile.integer(kWindowSection, "bottom", -1);
    modeKeep = profile.integer(kOptionSection, "ModeKeep", 0);
    updateMove = profile.integer(kOptionSection, "UpdateMove", 0);
}

bool DesignerSettings::write(const QString& path) const {
    if (oversized(path))
        return false;
    platform::ProfileFile profile;
    profile.load(localPath(path));
    const std::string utf8 = lastFolder.toStdString();
    const std::string folder = formdesc::sjis::fromUtf8(utf8);
    profile.setValue(kFolderSection, kFolderKey, folder);
    const bool lossy = formdesc::sjis::toUtf8(folder) != utf8;
    if (lossy || profile.value(kFolderSection, kFolderUtf8Key))
        profile.setValue(kFolderSection, kFolderUtf8Key,
                         lossy ? QUrl::toPercentEncoding(lastFolder).toStdString() : std::string());
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
