#include "formdesc/OutputFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

using formdesc::OutputFile;

namespace {

std::string fileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

mode_t modeOf(const std::string& path) {
    struct stat status {};
    return stat(path.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

bool writeWhole(OutputFile& file, std::string_view bytes) {
    return file.open() && file.write(bytes) && file.commit();
}

// Names in the folder other than the ones the test made: temporary files left.
int strayEntries(const TempFolder& folder, std::size_t expected) {
    std::size_t count = 0;
    for ([[maybe_unused]] const auto& entry : std::filesystem::directory_iterator(folder.path()))
        ++count;
    return int(count) - int(expected);
}

// A regular file is replaced whole and keeps its permission bits; a new one
// takes the umask's; a link stays and the file it names is replaced.
TEST(OutputFile, ReplacesRegularFilesKeepingTheirMode) {
    const mode_t oldMask = umask(022);
    struct Case {
        const char* name;
        mode_t existingMode; // 0: no file yet
        bool throughLink;
        mode_t expectedMode;
    };
    const Case cases[] = {
        {"new file", 0, false, 0644},
        {"private file", 0600, false, 0600},
        {"executable file", 0755, false, 0755},
        {"link to a group file", 0640, true, 0640},
    };
    for (const Case& c : cases) {
        TempFolder folder;
        const std::string target = (folder.path() / "out").string();
        std::string written = target;
        if (c.existingMode != 0) {
            folder.writeBytes("out", "old bytes");
            chmod(target.c_str(), c.existingMode);
        }
        if (c.throughLink) {
            written = (folder.path() / "link").string();
            ASSERT_EQ(symlink("out", written.c_str()), 0);
        }
        OutputFile file(written);
        ASSERT_TRUE(writeWhole(file, "new bytes")) << c.name << ": " << file.errorText();
        EXPECT_FALSE(file.isDirect()) << c.name;
        EXPECT_EQ(fileBytes(target), "new bytes") << c.name;
        EXPECT_EQ(modeOf(target), c.expectedMode) << c.name;
        struct stat link {};
        EXPECT_EQ(lstat(written.c_str(), &link) == 0 && S_ISLNK(link.st_mode), c.throughLink) << c.name;
        EXPECT_EQ(strayEntries(folder, c.throughLink ? 2 : 1), 0) << c.name;
    }
    umask(oldMask);
}

TEST(OutputFile, AnUncommittedOutputLeavesTheOldFile) {
    TempFolder folder;
    const std::string target = folder.writeBytes("form.zrk", "old bytes");
    {
        OutputFile file(target);
        ASSERT_TRUE(file.open());
        ASSERT_TRUE(file.write("half of the new"));
    }
    EXPECT_EQ(fileBytes(target), "old bytes");
    EXPECT_EQ(strayEntries(folder, 1), 0);
}

// A FIFO's reader gets the bytes and the FIFO stays; a standard stream named
// as /dev/fd/N is written where the holder of the descriptor left it, not
// truncated and not replaced.
TEST(OutputFile, WritesFifosAndStandardStreamsDirectly) {
    TempFolder folder;
    const std::string fifo = (folder.path() / "fifo").string();
    ASSERT_EQ(mkfifo(fifo.c_str(), 0600), 0);
    // The reader is open before the writer, so neither blocks; the bytes
    // fit in the pipe.
    const int reader = ::open(fifo.c_str(), O_RDONLY | O_NONBLOCK);
    ASSERT_GE(reader, 0);
    OutputFile toFifo(fifo);
    EXPECT_TRUE(writeWhole(toFifo, "through the fifo")) << toFifo.errorText();
    EXPECT_TRUE(toFifo.isDirect());
    char received[64] = {};
    EXPECT_EQ(::read(reader, received, sizeof received), 16);
    ::close(reader);
    EXPECT_STREQ(received, "through the fifo");
    struct stat status {};
    EXPECT_TRUE(stat(fifo.c_str(), &status) == 0 && S_ISFIFO(status.st_mode));

    const std::string log = folder.writeBytes("log", "head ");
    const int fd = ::open(log.c_str(), O_WRONLY | O_APPEND);
    ASSERT_GE(fd, 0);
    const auto before = formdesc::fileIdentity(log);
    OutputFile toStream("/dev/fd/" + std::to_string(fd));
    EXPECT_TRUE(writeWhole(toStream, "body")) << toStream.errorText();
    EXPECT_TRUE(toStream.isDirect());
    ::close(fd);
    EXPECT_EQ(fileBytes(log), "head body");
    EXPECT_EQ(formdesc::fileIdentity(log), before);
}

// What cannot be written is refused before anything is created, with the
// system's error.
TEST(OutputFile, RefusesTargetsItCannotWrite) {
    TempFolder folder;
    const std::string dir = folder.path().string();
    const std::string readOnly = folder.writeBytes("read-only", "kept");
    chmod(readOnly.c_str(), 0444);
    symlink("loop-b", (folder.path() / "loop-a").c_str());
    symlink("loop-a", (folder.path() / "loop-b").c_str());
    const int readFd = ::open(readOnly.c_str(), O_RDONLY);
    struct Case {
        std::string path;
        int error;
        bool rootMayWrite;
    };
    const Case cases[] = {
        {"", ENOENT, false},
        {dir, EISDIR, false},
        {dir + "/new/", EISDIR, false},
        {dir + "/no/such/folder/out", ENOENT, false},
        {dir + "/loop-a", ELOOP, false},
        {"/dev/fd/" + std::to_string(readFd), EBADF, false},
        {readOnly, EACCES, true},
    };
    for (const Case& c : cases) {
        if (c.rootMayWrite && geteuid() == 0)
            continue;
        OutputFile file(c.path);
        EXPECT_FALSE(file.check()) << c.path;
        EXPECT_FALSE(file.open()) << c.path;
        EXPECT_EQ(file.errorNumber(), c.error) << c.path << ": " << file.errorText();
        EXPECT_EQ(file.errorText(), formdesc::systemErrorText(c.error));
    }
    ::close(readFd);
    EXPECT_EQ(fileBytes(readOnly), "kept");
    EXPECT_EQ(strayEntries(folder, 3), 0);
}

// A killed writer leaves its temporary file; the next output to the folder
// removes the ones that are surely left over (our pattern, a regular file of
// ours, untouched for over an hour, not locked by a running writer) and
// nothing else.
TEST(OutputFile, RemovesTemporaryFilesThatKilledWritersLeft) {
    TempFolder folder;
    const struct {
        const char* name;
        bool aged;
        bool kept;
    } entries[] = {
        {".zrk-tmp-AbCd1234", true, false},
        {".zrk-tmp-Fresh123", false, true}, // a running job's, or one just killed
        {".zrk-tmp-Locked12", true, true},  // a writer still holds it
        {".tmp-OldName1", true, true},      // not our pattern
        {".zrk-tmp-Short12", true, true},   // seven letters
        {".zrk-tmp-Abc_1234", true, true},  // not a letter or digit
        {"report.zrk-tmp-AbCd1234", true, true},
        {".zrk-tmp-Linked12", true, true}, // a link, not a file
    };
    const auto twoHoursAgo = std::filesystem::file_time_type::clock::now() - std::chrono::hours(2);
    for (const auto& entry : entries) {
        const std::filesystem::path path = folder.path() / entry.name;
        if (std::string_view(entry.name) == ".zrk-tmp-Linked12")
            std::filesystem::create_symlink(".tmp-OldName1", path);
        else
            folder.writeBytes(entry.name, "left over");
        if (entry.aged && !std::filesystem::is_symlink(path))
            std::filesystem::last_write_time(path, twoHoursAgo);
    }
    const int locked = ::open((folder.path() / ".zrk-tmp-Locked12").c_str(), O_RDONLY);
    ASSERT_EQ(flock(locked, LOCK_EX), 0);

    OutputFile file((folder.path() / "out.pdf").string());
    ASSERT_TRUE(writeWhole(file, "document")) << file.errorText();
    ::close(locked);
    for (const auto& entry : entries)
        EXPECT_EQ(std::filesystem::is_symlink(folder.path() / entry.name) ||
                      std::filesystem::exists(folder.path() / entry.name),
                  entry.kept)
            << entry.name;
    EXPECT_EQ(fileBytes((folder.path() / "out.pdf").string()), "document");
}

} // namespace
