#include "platform/ProfileFile.h"

#include "formdesc/ShiftJis.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <fstream>
#include <iterator>

using platform::ProfileFile;

namespace {

namespace sjis = formdesc::sjis;

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Comments, blank lines, names with spaces, a Shift-JIS value, a line with a
// bare LF and a last line without a line end: all come back as they were.
const std::string kSample = "; written by hand\r\n"
                            "[Last Folder]\r\n"
                            "folder=" +
                            sjis::fromUtf8("/home/利用者/帳票/") +
                            "\r\n"
                            "\r\n"
                            "[Last Window]\r\n"
                            "left = 100\r\n"
                            "top=50\n"
                            "  right=\"900\"  \r\n"
                            "garbage without equals\r\n"
                            "bottom=650\r\n"
                            "\r\n"
                            "[Option]\r\n"
                            "ModeKeep=1";

TEST(ProfileFile, RoundTripKeepsEveryByte) {
    const ProfileFile profile = ProfileFile::fromBytes(kSample);
    EXPECT_EQ(profile.toBytes(), kSample);

    TempFolder folder;
    const std::string path = (folder.path() / "tabrik.ini").string();
    ASSERT_TRUE(profile.save(path));
    EXPECT_EQ(fileBytes(path), kSample);
    ProfileFile loaded;
    ASSERT_TRUE(loaded.load(path));
    EXPECT_EQ(loaded.toBytes(), kSample);
    EXPECT_EQ(loaded.text("Last Folder", "folder", ""), sjis::fromUtf8("/home/利用者/帳票/"));
}

TEST(ProfileFile, ReadsValuesAsTheWindowsCallsDo) {
    const std::string ka = sjis::fromUtf8("ア"); // 83 41: trail byte 'A'
    const std::string di = sjis::fromUtf8("ヂ"); // 83 61: trail byte 'a'
    const ProfileFile profile =
        ProfileFile::fromBytes(kSample + "\r\n[Option]\r\nModeKeep=0\r\n[" + ka +
                               "]\r\nk=kana\r\n[Numbers]\r\nsuffix=12abc\r\n"
                               "neg=-7\r\nword=abc\r\nempty=\r\nhuge=99999999999\r\n");
    struct Case {
        const char* section;
        std::string key;
        std::optional<std::string> value;
    };
    const Case cases[] = {
        {"last folder", "FOLDER", sjis::fromUtf8("/home/利用者/帳票/")},
        {"Last Window", "left", "100"},
        {"Last Window", "right", "900"}, // quotes and white space removed
        {"Last Window", "top", "50"},
        {"Last Window", "missing", std::nullopt},
        {"Option", "ModeKeep", "1"},           // the first of two sections counts
        {"Last Folder", "left", std::nullopt}, // keys stay in their section
        {"No Such", "folder", std::nullopt},
        {"Numbers", "empty", ""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(profile.value(c.section, c.key), c.value) << c.section << "/" << c.key;

    // Double-byte names fold only their ASCII letters, never a trail byte.
    EXPECT_EQ(profile.value(ka, "K"), "kana");
    EXPECT_EQ(profile.value(di, "k"), std::nullopt);

    struct Number {
        const char* key;
        int value;
    };
    const Number numbers[] = {{"suffix", 12}, {"neg", -7},     {"word", 0},
                              {"empty", 0},   {"missing", -1}, {"huge", 2147483647}};
    for (const Number& n : numbers)
        EXPECT_EQ(profile.integer("Numbers", n.key, -1), n.value) << n.key;
}

TEST(ProfileFile, WritesChangeOnlyWhatChanged) {
    ProfileFile profile = ProfileFile::fromBytes(kSample);
    profile.setInteger("Last Window", "left", 100); // same value: line kept as written
    profile.setInteger("last window", "TOP", 60);
    profile.setInteger("Last Window", "width", 800);
    profile.setInteger("Option", "UpdateMove", 1);
    profile.setValue("New Section", "key", "value");

    std::string expected = kSample;
    expected.replace(expected.find("top=50\n"), 7, "top=60\n");
    expected.replace(expected.find("bottom=650\r\n"), 12, "bottom=650\r\nwidth=800\r\n");
    expected += "\r\nUpdateMove=1\r\n[New Section]\r\nkey=value\r\n";
    EXPECT_EQ(profile.toBytes(), expected);

    ProfileFile empty;
    empty.setInteger("Last Window", "left", -1);
    EXPECT_EQ(empty.toBytes(), "[Last Window]\r\nleft=-1\r\n");
}

TEST(ProfileFile, DamagedOrMissingFilesGiveTheFallbacks) {
    TempFolder folder;
    ProfileFile profile;
    EXPECT_FALSE(profile.load((folder.path() / "missing.ini").string()));
    EXPECT_FALSE(profile.load(folder.path().string())); // a folder
    EXPECT_EQ(profile.integer("Last Window", "left", -1), -1);

    const char raw[] = "\xff\xfe[Last\0 Window\r\n[\r\n=\r\n\x81\r\nleft\x81=5\r\n[]]\r\nleft=3";
    const std::string damaged(raw, sizeof raw - 1);
    const std::string path = folder.writeBytes("damaged.ini", damaged);
    ASSERT_TRUE(profile.load(path));
    EXPECT_EQ(profile.integer("Last Window", "left", -1), -1);
    EXPECT_EQ(profile.value("", ""), "");
    EXPECT_EQ(profile.toBytes(), damaged);
    profile.setInteger("Last Window", "left", 7);
    EXPECT_EQ(ProfileFile::fromBytes(profile.toBytes()).integer("Last Window", "left", -1), 7);
}

} // namespace
