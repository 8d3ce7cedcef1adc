#include "formdesc/OutputFile.h"

#include "formdesc/SignalCleanup.h"

#include <cerrno>
#include <charconv>
#include <climits>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <dirent.h>
#include <fcntl.h>
#include <mutex>
#include <random>
#include <set>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace formdesc {

namespace {

// Links deeper than this are a loop, as the kernel counts them.
constexpr int kMaxLinkHops = 40;
constexpr int kTemporaryNameAttempts = 100;

// Temporary files are ".zrk-tmp-" and eight letters or digits: a pattern of
// our own, so that the ones a killed process left can be told from others'.
constexpr std::string_view kTemporaryPrefix = ".zrk-tmp-";
constexpr std::size_t kTemporarySuffixLength = 8;
// A temporary file of ours untouched for this long, and not locked by the
// process writing it, was left by a process that was killed.
constexpr time_t kStaleSeconds = 60 * 60;

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// The descriptor that a name of a standard stream stands for, or -1. Such a
// name is written through the descriptor the process already holds: opening
// it again would truncate a file the shell opened for appending, and a
// regular file behind it must not be renamed over.
int spelledDescriptor(std::string_view path) {
    if (path == "/dev/stdout")
        return STDOUT_FILENO;
    if (path == "/dev/stderr")
        return STDERR_FILENO;
    for (std::string_view folder : {std::string_view("/dev/fd/"), std::string_view("/proc/self/fd/")}) {
        if (!path.starts_with(folder))
            continue;
        const std::string_view digits = path.substr(folder.size());
        int fd = -1;
        const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), fd);
        if (error == std::errc() && end == digits.data() + digits.size() && !digits.empty())
            return fd;
    }
    return -1;
}

// Follows symbolic links in the last component, so that the file a link names
// is replaced and the link stays. 0, or the error number.
int resolveLinks(std::string& path) {
    for (int hop = 0; hop < kMaxLinkHops; ++hop) {
        struct stat link {};
        if (lstat(path.c_str(), &link) != 0)
            return errno == ENOENT ? 0 : errno; // a name not taken yet
        if (!S_ISLNK(link.st_mode))
            return 0;
        std::vector<char> target(std::size_t(PATH_MAX) + 1);
        const ssize_t length = readlink(path.c_str(), target.data(), target.size() - 1);
        if (length < 0)
            return errno;
        const std::string next(target.data(), std::size_t(length));
        path = next.starts_with('/') ? next : folderOf(path) + "/" + next;
    }
    return ELOOP;
}

bool inGroup(gid_t group) {
    if (group == getegid())
        return true;
    const int count = getgroups(0, nullptr);
    if (count <= 0)
        return false;
    std::vector<gid_t> groups(static_cast<std::size_t>(count));
    const int read = getgroups(count, groups.data());
    for (int i = 0; i < read; ++i)
        if (groups[std::size_t(i)] == group)
            return true;
    return false;
}

// Whether a file of ours can be given this owner and group.
bool mayHandTo(uid_t owner, gid_t group) {
    if (geteuid() == 0)
        return true;
    return owner == geteuid() && inGroup(group);
}

bool mayWrite(const std::string& path, int mode) {
    return faccessat(AT_FDCWD, path.c_str(), mode, AT_EACCESS) == 0;
}

std::string randomSuffix() {
    static constexpr char kLetters[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    std::random_device random;
    std::uniform_int_distribution<std::size_t> pick(0, sizeof kLetters - 2);
    std::string suffix(kTemporarySuffixLength, '\0');
    for (char& c : suffix)
        c = kLetters[pick(random)];
    return suffix;
}

bool isTemporaryName(std::string_view name) {
    if (name.size() != kTemporaryPrefix.size() + kTemporarySuffixLength ||
        !name.starts_with(kTemporaryPrefix))
        return false;
    for (const char c : name.substr(kTemporaryPrefix.size()))
        if (!((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9')))
            return false;
    return true;
}

// Removes the temporary files that a killed process of ours left in the
// folder: our name pattern, a regular file of this user, older than an hour
// and not locked (a writer holds a lock on its temporary file until it is
// done). Each folder is swept once per process.
void removeStaleTemporaries(const std::string& folder) {
    static std::mutex mutex;
    static std::set<std::string> swept;
    {
        const std::lock_guard lock(mutex);
        if (!swept.insert(folder).second)
            return;
    }
    DIR* entries = ::opendir(folder.c_str());
    if (!entries)
        return;
    const int folderFd = ::dirfd(entries);
    const time_t now = std::time(nullptr);
    while (const dirent* entry = ::readdir(entries)) {
        if (!isTemporaryName(entry->d_name))
            continue;
        const int fd =
            ::openat(folderFd, entry->d_name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
        if (fd < 0)
            continue;
        struct stat status {};
        struct stat named {};
        // The name still leads to the file that was looked at (not replaced
        // in the meantime) when it is removed.
        if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_uid == ::geteuid() &&
            now - status.st_mtime > kStaleSeconds && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
            ::fstatat(folderFd, entry->d_name, &named, AT_SYMLINK_NOFOLLOW) == 0 &&
            named.st_dev == status.st_dev && named.st_ino == status.st_ino)
            ::unlinkat(folderFd, entry->d_name, 0);
        ::close(fd);
    }
    ::closedir(entries);
}

// A renamed entry is durable only when its folder is synced; a failure here
// leaves a complete file, so it is not reported.
void syncFolder(const std::string& folder) {
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd >= 0) {
        fsync(fd);
        ::close(fd);
    }
}

} // namespace

std::optional<FileIdentity> fileIdentity(const std::string& path) {
    struct stat status {};
    if (path.empty() || stat(path.c_str(), &status) != 0)
        return std::nullopt;
    return FileIdentity{status.st_dev, status.st_ino};
}

std::string systemErrorText(int error) {
    return std::strerror(error);
}

OutputFile::OutputFile(std::string path) : m_path(std::move(path)) {}

OutputFile::~OutputFile() {
    discard();
}

std::string OutputFile::errorText() const {
    return m_error != 0 ? systemErrorText(m_error) : std::string();
}

bool OutputFile::fail(int error) {
    if (m_error == 0)
        m_error = error != 0 ? error : EIO;
    return false;
}

bool OutputFile::check() {
    if (m_checked)
        return !failed();
    m_checked = true;
    if (m_path.empty())
        return fail(ENOENT);
    if (m_path.back() == '/')
        return fail(EISDIR);
    m_standardStream = spelledDescriptor(m_path);
    if (m_standardStream >= 0) {
        const int flags = fcntl(m_standardStream, F_GETFL);
        if (flags < 0 || (flags & O_ACCMODE) == O_RDONLY)
            return fail(EBADF);
        m_direct = true;
        return true;
    }
    struct stat status {};
    if (stat(m_path.c_str(), &status) == 0 && !S_ISREG(status.st_mode)) {
        if (S_ISDIR(status.st_mode))
            return fail(EISDIR);
        m_direct = true;
        m_target = m_path;
        return mayWrite(m_target, W_OK) || fail(errno);
    }
    return checkReplace();
}

bool OutputFile::checkReplace() {
    m_target = m_path;
    if (const int error = resolveLinks(m_target))
        return fail(error);
    struct stat status {};
    if (stat(m_target.c_str(), &status) == 0) {
        if (!S_ISREG(status.st_mode))
            return fail(EISDIR);
        m_exists = true;
        m_owner = status.st_uid;
        m_group = status.st_gid;
        m_mode = status.st_mode & 07777;
        // The rename needs only the folder; the file's own bits say whether
        // the user may change it.
        if (!mayWrite(m_target, W_OK))
            return fail(errno);
        if (!mayHandTo(m_owner, m_group))
            return fail(EPERM);
    } else if (errno != ENOENT) {
        return fail(errno);
    }
    return mayWrite(folderOf(m_target), W_OK | X_OK) || fail(errno);
}

bool OutputFile::open() {
    if (!check())
        return false;
    if (m_fd >= 0)
        return true;
    if (m_standardStream >= 0) {
        m_fd = fcntl(m_standardStream, F_DUPFD_CLOEXEC, 3);
        return m_fd >= 0 || fail(errno);
    }
    if (m_direct) {
        // A FIFO blocks here until its reader opens it, as for any writer.
        m_fd = ::open(m_target.c_str(), O_WRONLY | O_NOCTTY | O_CLOEXEC);
        return m_fd >= 0 || fail(errno);
    }
    return createTemporary();
}

bool OutputFile::createTemporary() {
    const std::string folder = folderOf(m_target);
    // A new file takes the usual mode through the umask; a file that replaces
    // another stays private until it has that file's owner and bits.
    const mode_t mode = m_exists ? 0600 : 0666;
    removeStaleTemporaries(folder);
    for (int attempt = 0; attempt < kTemporaryNameAttempts && m_fd < 0; ++attempt) {
        std::string name = folder + "/" + std::string(kTemporaryPrefix) + randomSuffix();
        m_fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, mode);
        if (m_fd >= 0)
            m_temporary = std::move(name);
        else if (errno != EEXIST)
            return fail(errno);
    }
    if (m_fd < 0)
        return fail(EEXIST);
    // Held until the file is renamed or removed: a sweep by another process
    // leaves it alone however long the job takes.
    ::flock(m_fd, LOCK_EX | LOCK_NB);
    m_signalSlot = SignalCleanup::add(m_temporary);
    if (!m_exists)
        return true;
    struct stat own {};
    if (fstat(m_fd, &own) != 0)
        return fail(errno);
    if (own.st_uid == m_owner && own.st_gid == m_group)
        return true;
    const uid_t owner = own.st_uid == m_owner ? uid_t(-1) : m_owner;
    const gid_t group = own.st_gid == m_group ? gid_t(-1) : m_group;
    if (fchown(m_fd, owner, group) != 0) {
        const int error = errno;
        discard();
        return fail(error);
    }
    return true;
}

bool OutputFile::write(std::string_view bytes) {
    if (failed())
        return false;
    if (m_fd < 0)
        return fail(EBADF);
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written < 0)
            return fail(errno);
        if (written == 0)
            return fail(EIO);
        bytes.remove_prefix(std::size_t(written));
    }
    return true;
}

bool OutputFile::commit() {
    if (m_fd < 0)
        fail(EBADF);
    if (failed()) {
        discard();
        return false;
    }
    if (m_direct) {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR || fail(errno);
    }
    // The mode last: writing clears set-user and set-group bits.
    int error = 0;
    if (m_exists && fchmod(m_fd, m_mode) != 0)
        error = errno;
    if (error == 0 && fsync(m_fd) != 0)
        error = errno;
    const int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && error == 0)
        error = errno;
    if (error == 0 && std::rename(m_temporary.c_str(), m_target.c_str()) != 0)
        error = errno;
    if (error != 0) {
        fail(error);
        discard();
        return false;
    }
    m_temporary.clear();
    SignalCleanup::release(m_signalSlot);
    m_signalSlot = SignalCleanup::kNoSlot;
    syncFolder(folderOf(m_target));
    return true;
}

void OutputFile::closeFile() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void OutputFile::discard() {
    closeFile();
    if (!m_temporary.empty())
        unlink(m_temporary.c_str());
    m_temporary.clear();
    SignalCleanup::release(m_signalSlot);
    m_signalSlot = SignalCleanup::kNoSlot;
}

} // namespace formdesc
