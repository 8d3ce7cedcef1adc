#include "formdesc/AtomicFile.h"
#include "tests/support/TempFolder.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <fstream>
#include <grp.h>
#include <sstream>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

// A group of staff and a member of it who owns nothing here.
constexpr gid_t kStaff = 4242;
constexpr uid_t kMember = 4243;

std::string fileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

// Writes the bytes as the member would, in a child process; the file size
// limit makes a write fail part way. True when the write succeeded.
bool writeAsMember(const std::string& path, const std::string& bytes, rlim_t sizeLimit) {
    const pid_t child = fork();
    if (child == 0) {
        const gid_t groups[] = {kStaff};
        if (setgroups(1, groups) != 0 || setgid(kMember) != 0 || setuid(kMember) != 0)
            _exit(2);
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{sizeLimit, sizeLimit};
        setrlimit(RLIMIT_FSIZE, &limit);
        _exit(formdesc::writeFileAtomically(path, bytes) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) != 2);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// A form of root's, writable by the group, in a shared group folder: a
// member may write it but cannot give a new file root as its owner.
TEST(AtomicFile, AGroupMemberRewritesASharedFormInPlaceOrLeavesItsOldContent) {
    if (geteuid() != 0)
        GTEST_SKIP() << "needs root to make a shared group folder";
    TempFolder top;
    chmod(top.path().c_str(), 0755);
    const std::filesystem::path shared = top.path() / "shared";
    ASSERT_EQ(mkdir(shared.c_str(), 0775), 0);
    ASSERT_EQ(chown(shared.c_str(), 0, kStaff), 0);
    ASSERT_EQ(chmod(shared.c_str(), 02775), 0);
    const std::string form = (shared / "form.zrk").string();
    { std::ofstream(form) << "old content"; }
    ASSERT_EQ(chown(form.c_str(), 0, kStaff), 0);
    ASSERT_EQ(chmod(form.c_str(), 0664), 0);

    const std::string longer(200, 'N');
    struct Row {
        const char* what;
        std::string bytes;
        rlim_t limit;
        bool written;
        std::string content;
    };
    const Row rows[] = {
        {"the disk fills part way", longer, 100, false, "old content"},
        {"a sound write", longer, RLIM_INFINITY, true, longer},
        {"a shorter text", "short", RLIM_INFINITY, true, "short"},
    };
    for (const Row& row : rows) {
        EXPECT_EQ(writeAsMember(form, row.bytes, row.limit), row.written) << row.what;
        EXPECT_EQ(fileText(form), row.content) << row.what;
        struct stat status {};
        ASSERT_EQ(stat(form.c_str(), &status), 0);
        EXPECT_EQ(status.st_uid, 0u) << row.what;
        EXPECT_EQ(status.st_gid, kStaff) << row.what;
        EXPECT_EQ(status.st_mode & 07777, 0664u) << row.what;
        // Nothing is left beside it.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(shared), {}), 1) << row.what;
    }
}

} // namespace
