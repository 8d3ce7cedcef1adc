#include "editor/document/RuntimeBridge.h"

#include "Version.h"
#include "editor/document/SampleData.h"
#include "formdesc/FormReader.h"
#include "formdesc/MessageSink.h"
#include "platform/SharedLibrary.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <QApplication>
#include <QDialog>
#include <QProcess>
#include <QStandardPaths>
#include <QTimer>
#include <QWidget>

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <optional>

using editor::RuntimeBridge;
using editor::RuntimeMode;

namespace {

namespace fs = std::filesystem;

const std::string kLibrary = ZRK_BINARY_DIR "/runtime/libZRK.so";
const char* kOnDisplay = "TABRIK_TEST_ON_DISPLAY";

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

std::unique_ptr<formdesc::FormModel> exampleForm() {
    auto model = std::make_unique<formdesc::FormModel>();
    formdesc::RecordingMessageSink quiet;
    formdesc::ScopedMessageSink scoped(quiet);
    if (!formdesc::readFormFile(ZRK_SOURCE_DIR "/examples/invoice.zrk", *model,
                                formdesc::ReaderVariant::Designer))
        ADD_FAILURE() << "example form";
    return model;
}

// What the library was handed, seen from inside the call.
struct HandOver {
    std::string formPath;
    std::string dataPath;
    std::string formBytes;
    std::string dataBytes;
    unsigned folderMode = 0;
    int calls = 0;
};

void watch(RuntimeBridge& bridge, HandOver& seen) {
    bridge.setHandOverObserver([&seen](const std::string& form, const std::string& data) {
        ++seen.calls;
        seen.formPath = form;
        seen.dataPath = data;
        seen.formBytes = fileBytes(form);
        seen.dataBytes = fileBytes(data);
        struct stat info {};
        if (::stat(fs::path(form).parent_path().c_str(), &info) == 0)
            seen.folderMode = info.st_mode & 07777;
    });
}

// The files handed over are the form as a form file and its sample data, in
// a folder of their own under the runtime folder, and all of it is gone again
// once the call has returned.
void expectHandedOverAndCleaned(const HandOver& seen, const formdesc::FormModel& model,
                                const fs::path& runtimeDir, const char* baseName) {
    ASSERT_EQ(seen.calls, 1);
    EXPECT_EQ(fs::path(seen.formPath).filename(), std::string(baseName) + ".zrk");
    EXPECT_EQ(fs::path(seen.dataPath).filename(), std::string(baseName) + ".dat");
    EXPECT_EQ(fs::path(seen.formPath).parent_path().parent_path(), runtimeDir);
    EXPECT_EQ(seen.folderMode, 0700u);
    EXPECT_EQ(seen.dataBytes, editor::SampleData::text(model));
    auto reread = std::make_unique<formdesc::FormModel>();
    formdesc::readFormStatements(seen.formBytes, *reread, formdesc::ReaderVariant::Designer);
    EXPECT_EQ(reread->fieldCount, model.fieldCount);
    EXPECT_EQ(reread->figureCount, model.figureCount);
    EXPECT_FALSE(fs::exists(fs::path(seen.formPath).parent_path()));
    // Only the bridge's folders count: on a desktop the session's services
    // keep files of their own in the runtime folder.
    for (const auto& entry : fs::directory_iterator(runtimeDir))
        EXPECT_NE(entry.path().filename().string().rfind("tabrik-", 0), 0u)
            << "left behind: " << entry.path();
}

TEST(RuntimeBridge, TemporaryBaseName) {
    const std::pair<const char*, const char*> cases[] = {
        {"NoName.zrk", "$$$_NoName"},
        {"/home/u/forms/invoice.zrk", "$$$_invoice"},
        {"/home/u/forms.v2/plain", "$$$_plain"},
        {"/home/u/a.b.zrk", "$$$_a.b"},
        {"/home/u/請求書.zrk", "$$$_請求書"},
    };
    for (const auto& [path, base] : cases)
        EXPECT_EQ(RuntimeBridge::temporaryBaseName(QString::fromUtf8(path)), base) << path;

    // Long names are cut so that "<base>.zrk" fits 255 bytes, never inside
    // a character.
    const struct {
        std::string name; // without ".zrk"
        std::size_t bytes;
    } longCases[] = {
        {std::string(247, 'a'), 251},
        {std::string(251, 'b'), 251},
        {std::string(246, 'c'), 250},
        {std::string(1, 'd') +
             [] {
                 std::string s;
                 for (int i = 0; i < 90; ++i)
                     s += "請";
                 return s;
             }(),
         4 + 1 + 246}, // 1 + 82 characters of three bytes
    };
    for (const auto& c : longCases) {
        const std::string base =
            RuntimeBridge::temporaryBaseName(QString::fromUtf8("/home/u/" + c.name + ".zrk"));
        EXPECT_EQ(base.size(), c.bytes) << c.name;
        EXPECT_EQ(base, "$$$_" + c.name.substr(0, c.bytes - 4));
        EXPECT_TRUE(QString::fromUtf8(base).toUtf8().toStdString() == base) << "a character was cut";
    }
}

// A form whose file name is as long as the file system allows is still
// handed over (its temporary name is cut).
TEST(RuntimeBridge, LongFormNameIsHandedOver) {
    const auto model = exampleForm();
    TempFolder runtimeDir;
    const ScopedEnv xdg("XDG_RUNTIME_DIR", runtimeDir.path().string());
    const ScopedEnv cups("CUPS_SERVER", "127.0.0.1:9");
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);
    RuntimeBridge bridge({kLibrary});
    HandOver seen;
    watch(bridge, seen);
    const std::string name(251, 'x');
    EXPECT_EQ(
        bridge.run(*model, QString::fromStdString("/somewhere/" + name + ".zrk"), RuntimeMode::Print, 0),
        RuntimeBridge::kDone);
    expectHandedOverAndCleaned(seen, *model, runtimeDir.path(), ("$$$_" + name.substr(0, 247)).c_str());
    EXPECT_TRUE(sink.messages.empty());
}

// The copy handed over lives in a private folder: relative bitmap names are
// turned into the path of the file beside the real form, which wins over a
// file of the same name in the current folder. Names that lead nowhere, are
// absolute already, or would not survive the form file stay as written.
TEST(RuntimeBridge, RelativeBitmapsAreNamedFromTheFormsFolder) {
    TempFolder root;
    for (const char* file :
         {"forms/Images/Logo.bmp", "cwd/IMAGES/LOGO.BMP", "cwd/ONLYHERE.BMP", "odd,folder/LOGO.BMP"}) {
        fs::create_directories((root.path() / file).parent_path());
        std::ofstream(root.path() / file) << "x";
    }
    const fs::path previous = fs::current_path();
    fs::current_path(root.path() / "cwd");
    const std::string absolute = (root.path() / "forms/Images/Logo.bmp").string();
    struct Case {
        const char* form;   // the form's folder under the root
        std::string stored; // as the form holds it
        std::string handed; // as the copy holds it
    };
    const Case cases[] = {
        {"forms", "IMAGES\\LOGO.BMP", absolute},
        {"forms", ".\\images/logo.bmp", absolute},
        {"forms", "ONLYHERE.BMP", (root.path() / "cwd/ONLYHERE.BMP").string()},
        {"forms", "MISSING.BMP", "MISSING.BMP"},
        {"forms", absolute, absolute},
        {"odd,folder", "LOGO.BMP", "LOGO.BMP"}, // a comma ends a value in the file
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.stored);
        auto model = exampleForm();
        formdesc::FigureInfo bitmap{};
        bitmap.kind = formdesc::kKindBitmap;
        bitmap.startCol = 1;
        bitmap.startRow = 1;
        bitmap.endCol = 3;
        bitmap.endRow = 3;
        std::copy(c.stored.begin(), c.stored.end(), bitmap.fileName());
        ASSERT_TRUE(model->appendFigure(bitmap));
        const int at = model->figureCount - 1;
        RuntimeBridge::anchorBitmapNames(
            *model, QString::fromStdString((root.path() / c.form / "form.zrk").string()));
        EXPECT_EQ(std::string(model->figures[std::size_t(at)].fileName()), c.handed);
    }
    fs::current_path(previous);
}

// Without a display the real library answers with its own message (on
// standard error); the bridge hands over and cleans up all the same.
TEST(RuntimeBridge, RealLibraryGetsTheFilesWhichAreRemovedAfterwards) {
    const auto model = exampleForm();
    for (const RuntimeMode mode : {RuntimeMode::Preview, RuntimeMode::Print}) {
        TempFolder runtimeDir;
        const ScopedEnv xdg("XDG_RUNTIME_DIR", runtimeDir.path().string());
        const ScopedEnv cups("CUPS_SERVER", "127.0.0.1:9"); // never a real queue
        formdesc::RecordingMessageSink sink;
        formdesc::ScopedMessageSink scoped(sink);
        RuntimeBridge bridge({kLibrary});
        HandOver seen;
        watch(bridge, seen);

        EXPECT_EQ(bridge.run(*model, QStringLiteral("/somewhere/invoice.zrk"), mode, 0),
                  RuntimeBridge::kDone);
        expectHandedOverAndCleaned(seen, *model, runtimeDir.path(), "$$$_invoice");
        EXPECT_TRUE(sink.messages.empty());
    }
}

TEST(RuntimeBridge, MissingLibraryOrEntryPoint) {
    const auto model = exampleForm();
    struct Case {
        const char* name;
        std::vector<std::string> candidates;
    };
    const Case cases[] = {
        {"no library", {"/no/such/folder/libZRK.so", "libZRK-missing.so"}},
        {"no entry point", {"libm.so.6"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder runtimeDir;
        const ScopedEnv xdg("XDG_RUNTIME_DIR", runtimeDir.path().string());
        formdesc::RecordingMessageSink sink;
        formdesc::ScopedMessageSink scoped(sink);
        RuntimeBridge bridge(c.candidates);
        HandOver seen;
        watch(bridge, seen);

        EXPECT_EQ(bridge.run(*model, QStringLiteral("NoName.zrk"), RuntimeMode::Preview, 0),
                  RuntimeBridge::kNoLibrary);
        ASSERT_EQ(sink.messages.size(), 1u);
        EXPECT_EQ(sink.messages[0].caption, "エラー");
        EXPECT_EQ(sink.messages[0].text, "その他 - libZRK.soが見つかりません");
        EXPECT_EQ(seen.calls, 0);
        EXPECT_TRUE(fs::is_empty(runtimeDir.path()));
    }
}

// An installed program finds the library from its own folder: in the
// multiarch library folder of its prefix, in ../lib, or beside itself.
TEST(RuntimeBridge, InstalledLayoutsFindTheLibrary) {
    const std::string multiarch = zrkversion::kInstallLibDir;
    const std::string soname = zrkversion::kLibrarySoname;
    const struct {
        const char* name;
        std::string libraryPath; // under the prefix; empty: none installed
        bool loads;
    } cases[] = {
        {"multiarch folder", multiarch + "/" + soname, true},
        {"plain lib folder, bare name", "lib/libZRK.so", true},
        {"beside the program", "bin/" + soname, true},
        {"elsewhere in the prefix", "share/" + soname, false},
        {"none installed", "", false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder prefix;
        fs::create_directories(prefix.path() / "bin");
        if (!c.libraryPath.empty()) {
            const fs::path library = prefix.path() / c.libraryPath;
            fs::create_directories(library.parent_path());
            fs::copy_file(kLibrary, library);
        }
        // The names alone would go through this test's own search order.
        std::vector<std::string> paths;
        for (std::string& candidate :
             RuntimeBridge::libraryCandidates(QString::fromStdString((prefix.path() / "bin").string())))
            if (candidate.find('/') != std::string::npos)
                paths.push_back(std::move(candidate));
        platform::SharedLibrary library = platform::SharedLibrary::loadFirst(paths);
        EXPECT_EQ(library.isLoaded(), c.loads);
        EXPECT_EQ(library.symbol("ZRK_Print") != nullptr, c.loads);
    }
    EXPECT_EQ(RuntimeBridge::libraryCandidates(QStringLiteral("/opt/x/bin")).front(), soname);
}

// On a real display the preview window appears, owned by the caller's
// window, and the call returns when the user closes it. Runs this program
// again on a private Xvfb display.
TEST(RuntimeBridge, PreviewOnADisplayReturnsWhenClosed) {
    if (qEnvironmentVariableIsSet(kOnDisplay))
        GTEST_SKIP() << "the run on the display itself";
    const QString xvfb = QStandardPaths::findExecutable(QStringLiteral("Xvfb"));
    if (xvfb.isEmpty())
        GTEST_SKIP() << "Xvfb is not installed";

    QProcess server;
    server.start(xvfb, {QStringLiteral("-displayfd"), QStringLiteral("1"), QStringLiteral("-nolisten"),
                        QStringLiteral("tcp"), QStringLiteral("-screen"), QStringLiteral("0"),
                        QStringLiteral("1024x768x24")});
    ASSERT_TRUE(server.waitForStarted(10000));
    QByteArray display;
    while (!display.contains('\n') && server.waitForReadyRead(10000))
        display += server.readAllStandardOutput();
    ASSERT_FALSE(display.trimmed().isEmpty()) << "Xvfb gave no display number";

    QProcess child;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), QStringLiteral(":") + QString::fromLatin1(display.trimmed()));
    env.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("xcb"));
    env.insert(QString::fromLatin1(kOnDisplay), QStringLiteral("1"));
    child.setProcessEnvironment(env);
    child.setProcessChannelMode(QProcess::MergedChannels);
    child.start(QCoreApplication::applicationFilePath(),
                {QStringLiteral("--gtest_filter=RuntimeBridgeOnDisplay.*")});
    const bool finished = child.waitForFinished(120000);
    const QByteArray output = child.readAll();
    if (!finished)
        child.kill();
    server.terminate();
    server.waitForFinished(5000);
    ASSERT_TRUE(finished) << output.toStdString();
    EXPECT_EQ(child.exitCode(), 0) << output.toStdString();
    EXPECT_TRUE(output.contains("[  PASSED  ] 1 test")) << output.toStdString();
}

TEST(RuntimeBridgeOnDisplay, PreviewShownOwnedAndClosed) {
    if (!qEnvironmentVariableIsSet(kOnDisplay))
        GTEST_SKIP() << "runs on the display PreviewOnADisplayReturnsWhenClosed starts";
    const auto model = exampleForm();
    TempFolder runtimeDir;
    const ScopedEnv xdg("XDG_RUNTIME_DIR", runtimeDir.path().string());
    formdesc::RecordingMessageSink sink;
    formdesc::ScopedMessageSink scoped(sink);

    QWidget owner;
    owner.setWindowTitle(QStringLiteral("owner"));
    owner.resize(200, 100);
    owner.show();
    RuntimeBridge bridge({kLibrary});
    HandOver seen;
    watch(bridge, seen);

    // The user closes the preview once it is up; the files must exist while it is.
    QString closedTitle;
    bool filesThere = false;
    QTimer closer;
    QObject::connect(&closer, &QTimer::timeout, [&] {
        for (QWidget* window : QApplication::topLevelWidgets()) {
            if (window == &owner || !window->isVisible() || !qobject_cast<QDialog*>(window))
                continue;
            closedTitle = window->windowTitle();
            filesThere = fs::exists(seen.formPath) && fs::exists(seen.dataPath);
            window->close();
        }
    });
    closer.start(100);
    QTimer::singleShot(60000, [] { std::abort(); }); // never hang the test run

    EXPECT_EQ(bridge.run(*model, QStringLiteral("NoName.zrk"), RuntimeMode::Preview, owner.winId()),
              RuntimeBridge::kDone);
    EXPECT_FALSE(closedTitle.isEmpty());
    EXPECT_TRUE(filesThere);
    expectHandedOverAndCleaned(seen, *model, runtimeDir.path(), "$$$_NoName");
    EXPECT_TRUE(sink.messages.empty());
}

} // namespace
