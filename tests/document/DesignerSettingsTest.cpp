#include "editor/document/DesignerSettings.h"
#include "editor/document/QtDocumentUi.h"

#include "formdesc/ShiftJis.h"
#include "tests/support/ScopedEnv.h"
#include "tests/support/TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>

using editor::DesignerSettings;

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

TEST(DesignerSettings, WrittenAndReadBack) {
    TempFolder folder;
    // The folder the settings live in is made when it is missing.
    const QString path = QString::fromStdString((folder.path() / "config/tabrik/tabrik.ini").string());
    DesignerSettings settings;
    settings.lastFolder = QStringLiteral("/home/利用者/帳票/");
    settings.setWindow(QRect(100, 50, 800, 600), false);
    settings.modeKeep = 1;
    ASSERT_TRUE(settings.write(path));

    EXPECT_EQ(fileBytes(path.toStdString()),
              "[Last Folder]\r\nfolder=" + formdesc::sjis::fromUtf8("/home/利用者/帳票/") +
                  "\r\n[Last Window]\r\nleft=100\r\ntop=50\r\nright=900\r\nbottom=650\r\n"
                  "[Option]\r\nModeKeep=1\r\nUpdateMove=0\r\n");

    DesignerSettings back;
    back.read(path);
    EXPECT_EQ(back.lastFolder, settings.lastFolder);
    EXPECT_FALSE(back.startsMaximized());
    EXPECT_EQ(back.windowRect(), QRect(100, 50, 800, 600));
    EXPECT_EQ(back.modeKeep, 1);
    EXPECT_EQ(back.updateMove, 0);

    // Closing maximised stores -1 everywhere, so the next start is maximised too.
    back.setWindow(QRect(0, 0, 800, 800), true);
    ASSERT_TRUE(back.write(path));
    DesignerSettings again;
    again.read(path);
    EXPECT_TRUE(again.startsMaximized());
    EXPECT_EQ(again.left, -1);
    EXPECT_EQ(again.bottom, -1);
    EXPECT_EQ(again.modeKeep, 1);
}

TEST(DesignerSettings, FilesThatGiveTheDefaults) {
    struct Case {
        const char* name;
        std::optional<std::string> contents; // nothing: no file
        bool maximized;
        int modeKeep;
    };
    const Case cases[] = {
        {"no file", std::nullopt, true, 0},
        {"left without bottom", "[Last Window]\r\nleft=1\r\ntop=2\r\nright=300\r\n", true, 0},
        {"complete", "[Last Window]\r\nleft=1\r\ntop=2\r\nright=300\r\nbottom=200\r\n", false, 0},
        {"one value -1", "[Last Window]\r\nleft=1\r\ntop=-1\r\nright=300\r\nbottom=200\r\n", true, 0},
        {"binary garbage", std::string("\x89PNG\r\n\x1a\n\0\0\0\rIHDR", 16), true, 0},
        {"option set by hand", "[option]\nmodekeep=1\n", true, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string path = c.contents ? folder.writeBytes("tabrik.ini", *c.contents)
                                            : (folder.path() / "tabrik.ini").string();
        DesignerSettings settings;
        settings.lastFolder = QStringLiteral("stale");
        settings.read(QString::fromStdString(path));
        EXPECT_EQ(settings.startsMaximized(), c.maximized);
        EXPECT_EQ(settings.modeKeep, c.modeKeep);
        EXPECT_EQ(settings.updateMove, 0);
        EXPECT_TRUE(settings.lastFolder.isEmpty());
    }
}

// Writing keeps what the file held besides the designer's own keys.
TEST(DesignerSettings, WritingKeepsForeignLines) {
    TempFolder folder;
    const std::string path =
        folder.writeBytes("tabrik.ini", "; my notes\r\n[Option]\r\nModeKeep=1\r\nOther=x\r\n");
    DesignerSettings settings;
    settings.read(QString::fromStdString(path));
    ASSERT_TRUE(settings.write(QString::fromStdString(path)));
    const std::string bytes = fileBytes(path);
    EXPECT_EQ(bytes.rfind("; my notes\r\n[Option]\r\nModeKeep=1\r\nOther=x\r\nUpdateMove=0\r\n", 0), 0u)
        << bytes;
}

TEST(DesignerSettings, FileLocation) {
    TempFolder folder;
    const std::string home = (folder.path() / "home").string();
    const ScopedEnv homeEnv("HOME", home.c_str());
    struct Case {
        const char* config;
        QString expected;
    };
    const Case cases[] = {
        {"/etc/xdg-test", QStringLiteral("/etc/xdg-test/tabrik/tabrik.ini")},
        {nullptr, QString::fromStdString(home) + QStringLiteral("/.config/tabrik/tabrik.ini")},
        {"", QString::fromStdString(home) + QStringLiteral("/.config/tabrik/tabrik.ini")},
        {"relative/dir", QString::fromStdString(home) + QStringLiteral("/.config/tabrik/tabrik.ini")},
    };
    for (const Case& c : cases) {
        const ScopedEnv config("XDG_CONFIG_HOME", c.config);
        EXPECT_EQ(DesignerSettings::defaultPath(), c.expected) << (c.config ? c.config : "unset");
    }

    // A tabrik.ini beside the program makes a portable installation.
    const QString portable = QCoreApplication::applicationDirPath() + QStringLiteral("/tabrik.ini");
    ASSERT_FALSE(QFile::exists(portable));
    QFile file(portable);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.close();
    const ScopedEnv config("XDG_CONFIG_HOME", "/etc/xdg-test");
    EXPECT_EQ(DesignerSettings::defaultPath(), portable);
    QFile::remove(portable);
}

// Rectangles from the file against a 1920 x 1040 work area: only one that a
// screen shows, no larger than the area, starts as a normal window.
TEST(DesignerSettings, WindowRectanglesThatFitTheScreen) {
    const QRect available(0, 0, 1920, 1040);
    struct Case {
        const char* name;
        int left, top, right, bottom;
        bool fits;
    };
    const Case cases[] = {
        {"inside", 100, 50, 900, 650, true},
        {"the whole area", 0, 0, 1920, 1040, true},
        {"partly off the left and top", -300, -20, 500, 400, true},
        {"huge", 0, 0, 16777215, 16777215, false},
        {"wider than the area", 0, 0, 1921, 600, false},
        {"far off the screen", 100000, 100000, 100800, 100600, false},
        {"just right of the area", 1920, 0, 2720, 600, false},
        {"overflowing width", INT_MIN, INT_MIN, INT_MAX, INT_MAX, false},
        {"overflowing the other way", INT_MAX, INT_MAX, INT_MIN, INT_MIN, false},
        {"near INT_MAX", INT_MAX - 10, 0, INT_MAX, 600, false},
        {"empty", 200, 200, 200, 600, false},
        {"upside down", 900, 650, 100, 50, false},
        {"maximised", -1, -1, -1, -1, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        TempFolder folder;
        const std::string path = folder.writeBytes(
            "tabrik.ini", "[Last Window]\nleft=" + std::to_string(c.left) + "\ntop=" + std::to_string(c.top) +
                              "\nright=" + std::to_string(c.right) + "\nbottom=" + std::to_string(c.bottom) +
                              "\n");
        DesignerSettings settings;
        settings.read(QString::fromStdString(path));
        EXPECT_EQ(settings.fitsScreen(available), c.fits);
        if (c.fits)
            EXPECT_EQ(settings.windowRect(), QRect(QPoint(c.left, c.top), QPoint(c.right - 1, c.bottom - 1)));
    }
}

// A settings file past 64 KB (a file of line feeds, say) is neither read
// nor written over, and standard error says so once.
TEST(DesignerSettings, AnOversizedFileIsIgnoredWithOneWarning) {
    const std::string settings = "[Option]\r\nModeKeep=1\r\n";
    struct Case {
        std::size_t bytes;
        bool read;
    };
    for (const Case c :
         {Case{std::size_t(DesignerSettings::kMaxFileBytes), true},
          Case{std::size_t(DesignerSettings::kMaxFileBytes) + 1, false}, Case{std::size_t(4) << 20, false}}) {
        SCOPED_TRACE(c.bytes);
        TempFolder folder;
        const std::string contents = settings + std::string(c.bytes - settings.size(), '\n');
        const QString path = QString::fromStdString(folder.writeBytes("tabrik.ini", contents));
        DesignerSettings back;
        testing::internal::CaptureStderr();
        back.read(path);
        const std::string warning = testing::internal::GetCapturedStderr();
        EXPECT_EQ(back.modeKeep, c.read ? 1 : 0);
        if (c.read) {
            EXPECT_TRUE(warning.empty()) << warning;
            continue;
        }
        EXPECT_NE(warning.find("tabrik: "), std::string::npos) << warning;
        EXPECT_EQ(std::count(warning.begin(), warning.end(), '\n'), 1) << warning;
        back.modeKeep = 0;
        EXPECT_FALSE(back.write(path));
        EXPECT_EQ(fileBytes(path.toStdString()), contents);
    }
}

// Folders whose names Shift-JIS cannot hold come back exactly; the profile
// keeps its Shift-JIS key for any other reader.
TEST(DesignerSettings, FoldersComeBackExactlyWhateverTheirNames) {
    const QString names[] = {
        QStringLiteral("/home/u/café %41/"),
        QStringLiteral("/home/u/한국어/"),
        QStringLiteral("/home/u/帳票 (2024)/%41/"),
        QStringLiteral("/tmp/"),
    };
    TempFolder folder;
    const QString path = QString::fromStdString((folder.path() / "tabrik.ini").string());
    for (const QString& name : names) {
        SCOPED_TRACE(name.toStdString());
        DesignerSettings settings;
        settings.lastFolder = name;
        ASSERT_TRUE(settings.write(path));
        DesignerSettings back;
        back.read(path);
        EXPECT_EQ(back.lastFolder, name);
        const std::string bytes = fileBytes(path.toStdString());
        EXPECT_NE(bytes.find("folder=" + formdesc::sjis::fromUtf8(name.toStdString()) + "\r\n"),
                  std::string::npos);
        // No byte past ASCII but Shift-JIS text: the file reads back as Shift-JIS.
        EXPECT_EQ(formdesc::sjis::fromUtf8(formdesc::sjis::toUtf8(bytes)), bytes);
    }

    // Another program that set the Shift-JIS key since wins over the exact copy.
    DesignerSettings settings;
    settings.lastFolder = QStringLiteral("/home/u/café/");
    ASSERT_TRUE(settings.write(path));
    std::string bytes = fileBytes(path.toStdString());
    const std::string old = "folder=/home/u/caf?/";
    bytes.replace(bytes.find(old), old.size(), "folder=/srv/forms/");
    folder.writeBytes("tabrik.ini", bytes);
    DesignerSettings back;
    back.read(path);
    EXPECT_EQ(back.lastFolder, QStringLiteral("/srv/forms/"));
}

TEST(DesignerSettings, DialogsStartInTheHomeFolderWhenTheStoredOneIsGone) {
    TempFolder folder;
    const QString existing = QString::fromStdString(folder.path().string()) + QStringLiteral("/");
    EXPECT_EQ(editor::QtDocumentUi::dialogFolder(existing), existing);
    EXPECT_EQ(editor::QtDocumentUi::dialogFolder(existing + QStringLiteral("caf?/")), QDir::homePath());
    EXPECT_EQ(editor::QtDocumentUi::dialogFolder(QString()), QDir::homePath());
}

} // namespace
