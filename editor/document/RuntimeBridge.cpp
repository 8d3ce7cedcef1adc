#include "editor/document/RuntimeBridge.h"

#include "Version.h"
#include "editor/document/LocalPaths.h"
#include "editor/document/SampleData.h"
#include "formdesc/FormMessages.h"
#include "formdesc/FormReader.h"
#include "formdesc/FormWriter.h"
#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "platform/PathResolver.h"
#include "platform/SharedLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>

#include <algorithm>
#include <climits>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string_view>

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

// The longest base name that leaves room for ".zrk" and ".dat" within the
// longest name the file system takes.
constexpr std::size_t kMaxTemporaryBaseBytes = NAME_MAX - 4;

// The absolute path, in Shift-JIS, of the file a relative bitmap name leads
// to from the form's folder (as the canvas finds it); nothing when the name is
// absolute, leads nowhere, or its path cannot be held by the record.
std::optional<std::string> anchoredBitmapName(std::string_view sjisName,
                                              const std::filesystem::path& folder) {
    if (sjisName.empty() || sjisName.front() == '/' || sjisName.front() == '\\')
        return std::nullopt;
    const auto found = platform::resolvePathIgnoringCase(formdesc::sjis::toUtf8(sjisName), folder);
    if (!found)
        return std::nullopt;
    const std::string utf8 = found->string();
    std::string sjis = formdesc::sjis::fromUtf8(utf8);
    if (formdesc::sjis::toUtf8(sjis) != utf8 || sjis.size() >= formdesc::FigureInfo::kFileNameBytes)
        return std::nullopt;
    return sjis;
}

void setFileName(formdesc::FigureInfo& figure, std::string_view name) {
    std::memset(figure.fileName(), 0, sizeof figure.fileName());
    std::memcpy(figure.fileName(), name.data(), name.size());
}

} // namespace

void RuntimeBridge::anchorBitmapNames(formdesc::FormModel& model, const QString& documentPath) {
    std::filesystem::path folder;
    if (!documentPath.isEmpty())
        folder = localPath(QFileInfo(documentPath).absolutePath());
    auto anchored = std::make_unique<formdesc::FormModel>(model);
    bool changed = false;
    for (int i = 0; i < anchored->figureCount; ++i) {
        formdesc::FigureInfo& figure = anchored->figures[std::size_t(i)];
        if (figure.kind != formdesc::kKindBitmap)
            continue;
        if (const auto name = anchoredBitmapName(formdesc::sjis::view(figure.fileName()), folder)) {
            setFileName(figure, *name);
            changed = true;
        }
    }
    if (!changed)
        return;
    // A folder name may hold what a statement cannot (a quote, a comma, a
    // semicolon): a name that does not read back as written (upper-cased, as
    // the reader takes every statement) stays relative.
    auto reread = std::make_unique<formdesc::FormModel>();
    {
        formdesc::RecordingMessageSink quiet;
        const formdesc::ScopedMessageSink scoped(quiet);
        formdesc::readFormStatements(formdesc::formatFormFile(*anchored, {}), *reread,
                                     formdesc::ReaderVariant::Designer);
    }
    if (reread->figureCount != anchored->figureCount)
        return;
    for (int i = 0; i < anchored->figureCount; ++i) {
        const std::size_t at = std::size_t(i);
        if (anchored->figures[at].kind != formdesc::kKindBitmap)
            continue;
        const std::string_view written = formdesc::sjis::view(anchored->figures[at].fileName());
        // The reader upper-cases every statement; the runtime then finds the
        // file without regard to case.
        if (formdesc::sjis::toUpperCopy(written) != formdesc::sjis::view(reread->figures[at].fileName()))
            continue;
        setFileName(model.figures[at], written);
    }
}

RuntimeBridge::RuntimeBridge() : RuntimeBridge(defaultLibraryCandidates()) {}

RuntimeBridge::RuntimeBridge(std::vector<std::string> libraryCandidates)
    : m_candidates(std::move(libraryCandidates)) {}

std::string RuntimeBridge::temporaryBaseName(const QString& documentPath) {
    std::string base = "$$$_" + localPath(QFileInfo(documentPath).completeBaseName());
    if (base.size() <= kMaxTemporaryBaseBytes)
        return base;
    // Cut at a character's first byte (UTF-8), never inside a character.
    std::size_t cut = kMaxTemporaryBaseBytes;
    while (cut > 4 && (static_cast<unsigned char>(base[cut]) & 0xC0) == 0x80)
        --cut;
    base.resize(cut);
    return base;
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

    // The copy lives in a folder of its own: bitmaps named relative to the
    // form's folder are named by their whole path in it.
    auto handed = std::make_unique<formdesc::FormModel>(model);
    anchorBitmapNames(*handed, documentPath);
    // Each writer shows its own message when it fails.
    if (!formdesc::writeFormFile(formPath, *handed))
        return kFormNotWritten;
    if (!SampleData::write(dataPath, *handed))
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
