#pragma once

#include <QString>

#include <string>

// Paths as the C library and the form reader and writer take them, and the
// folder the program runs from.
namespace editor {

// The path in the file system's encoding.
std::string localPath(const QString& path);

// The program's own folder, also before the application object exists.
QString programFolder();

} // namespace editor
