#include "DesignerSettings.h"

#include "ScopedEnv.h"
#include "ShiftJis.h"
#include "TempFolder.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>

#include <gtest/gtest.h>

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

} // namespace
