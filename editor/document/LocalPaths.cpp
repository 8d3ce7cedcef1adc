#include "editor/document/LocalPaths.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

namespace editor {

std::string localPath(const QString& path) {
    return QFile::encodeName(path).toStdString();
}

QString programFolder() {
    if (QCoreApplication::instance())
        return QCoreApplication::applicationDirPath();
    return QFileInfo(QFileInfo(QStringLiteral("/proc/self/exe")).canonicalFilePath()).absolutePath();
}

} // namespace editor
