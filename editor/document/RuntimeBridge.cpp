#include "RuntimeBridge.h"

#include "FormMessages.h"
#include "FormWriter.h"
#include "LocalPaths.h"
#include "SampleData.h"
#include "SharedLibrary.h"
#include "Version.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>

namespace editor {

namespace {

// Both entry points of the runtime library take the same four arguments.
using EntryPoint = int (*)(std::uintptr_t owner, const char* formPath, const char* dataPath,
                           const char* control);

void reportMissingLibrary() {
    formdesc::reportFormError(formdesc::kErrorOther, 4, 0, formdesc::MessageOrigin::Designer);
}

// The folder that holds the call's own folder: the user's runtime folder
// (private to the user, cleaned at log-out), else the system's temporary folder.
QString temporaryParent() {
    const QString runtime = qEnvironmentVariable("XDG_RUNTIME_DIR");
    if (!runtime.isEmpty() && !QDir::isRelativePath(runtime)) {
        const QFileInfo info(runtime);
        if (info.isDir() && info.isWritable())
            return runtime;
    }
    return QDir::tempPath();
}

} // namespace

RuntimeBridge::RuntimeBridge() : RuntimeBridge(defaultLibraryCandidates()) {}

RuntimeBridge::RuntimeBridge(std::vector<std::string> libraryCandidates)
    : m_candidates(std::move(libraryCandidates)) {}

std::string RuntimeBridge::temporaryBaseName(const QString& documentPath) {
    return "$$$_" + localPath(QFileInfo(documentPath).completeBaseName());
}

std::vector<std::string> RuntimeBridge::defaultLibraryCandidates() {
    return libraryCandidates(programFolder());
}

std::vector<std::string> RuntimeBridge::libraryCandidates(const QString& programFolder) {
    // The versioned name is what an installed library answers to; the bare
    // name is a development link or a library built without a version.
    const QLatin1String names[] = {QLatin1String(zrkversion::kLibrarySoname), QLatin1String(kLibraryName)};
    const QString folders[] = {
        QString(), // the system's search order, with this program's RUNPATH
        programFolder,
        QDir::cleanPath(programFolder + QStringLiteral("/../") + QLatin1String(zrkversion::kInstallLibDir)),
        QDir::cleanPath(programFolder + QStringLiteral("/../lib")),
    };
    std::vector<std::string> candidates;
    for (const QString& folder : folders) {
        for (const QLatin1String& name : names) {
            std::string candidate =
                localPath(folder.isEmpty() ? QString(name) : folder + QLatin1Char('/') + name);
            if (std::find(candidates.begin(), candidates.end(), candidate) == candidates.end())
                candidates.push_back(std::move(candidate));
        }
    }
    return candidates;
}

int RuntimeBridge::run(const formdesc::FormModel& model, const QString& documentPath, RuntimeMode mode,
                       std::uintptr_t owner) {
    platform::SharedLibrary library = platform::SharedLibrary::loadFirst(m_candidates);
    if (!library.isLoaded()) {
        reportMissingLibrary();
        return kNoLibrary;
    }

    // A folder of this call's own, readable by the user alone (mode 0700),
    // removed with everything in it on every road out of this function.
    QTemporaryDir folder(temporaryParent() + QStringLiteral("/tabrik-XXXXXX"));
    if (!folder.isValid()) {
        formdesc::reportFormError(formdesc::kErrorOther, 2, 0, formdesc::MessageOrigin::Designer);
        return kFormNotWritten;
    }
    const std::string base = localPath(folder.path()) + "/" + temporaryBaseName(documentPath);
    const std::string formPath = base + ".zrk";
    const std::string dataPath = base + ".dat";

    // Each writer shows its own message when it fails.
    if (!formdesc::writeFormFile(formPath, model))
        return kFormNotWritten;
    if (!SampleData::write(dataPath, model))
        return kDataNotWritten;

    const char* name = mode == RuntimeMode::Preview ? "ZRK_View" : "ZRK_Print";
    const auto entryPoint = library.function<EntryPoint>(name);
    if (!entryPoint) {
        reportMissingLibrary();
        return kNoLibrary;
    }
    if (m_observer)
        m_observer(formPath, dataPath);
    entryPoint(owner, formPath.c_str(), dataPath.c_str(),
               mode == RuntimeMode::Preview ? nullptr : kPrintControl);

    library.unload();
    QFile::remove(QFile::decodeName(formPath.c_str()));
    QFile::remove(QFile::decodeName(dataPath.c_str()));
    return kDone;
}

} // namespace editor
