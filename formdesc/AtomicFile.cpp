#include "formdesc/AtomicFile.h"

#include "formdesc/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdlib>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace formdesc {

namespace {

// Closes a descriptor when it goes out of scope.
class Descriptor {
  public:
    explicit Descriptor(int fd) : m_fd(fd) {}
    ~Descriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }

  private:
    int m_fd;
};

bool readWhole(int fd, std::string& out) {
    out.clear();
    char block[65536];
    for (off_t at = 0;;) {
        const ssize_t got = pread(fd, block, sizeof block, at);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0)
            return false;
        if (got == 0)
            return true;
        out.append(block, std::size_t(got));
        at += got;
    }
}

bool writeWhole(int fd, std::string_view bytes) {
    for (off_t at = 0; !bytes.empty();) {
        const ssize_t written = pwrite(fd, bytes.data(), bytes.size(), at);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            if (written == 0)
                errno = EIO;
            return false;
        }
        bytes.remove_prefix(std::size_t(written));
        at += written;
    }
    return true;
}

// The file holds exactly these bytes, on disk.
bool rewrite(int fd, std::string_view bytes) {
    return writeWhole(fd, bytes) && ftruncate(fd, off_t(bytes.size())) == 0 && fsync(fd) == 0;
}

// A regular file that we may write but whose owner a new file of ours
// cannot have (a form of root's in a shared group folder): the new bytes go
// into the file itself. Its old bytes are first copied to a temporary file
// beside it and flushed, so that a failure part way leaves the old content:
// put back into the file when that works, else kept in the temporary file.
bool writeInPlace(const std::string& path, std::string_view bytes) {
    char resolved[PATH_MAX];
    if (!realpath(path.c_str(), resolved))
        return false;
    const Descriptor target(::open(resolved, O_RDWR | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    struct stat status {};
    if (target.get() < 0 || fstat(target.get(), &status) != 0)
        return false;
    if (!S_ISREG(status.st_mode)) {
        errno = EPERM;
        return false;
    }
    std::string old;
    if (!readWhole(target.get(), old))
        return false;
    std::string copyName = resolved;
    copyName = copyName.substr(0, copyName.rfind('/') + 1) + ".tmp-XXXXXX";
    const Descriptor copy(mkostemp(copyName.data(), O_CLOEXEC));
    if (copy.get() < 0)
        return false;
    if (!rewrite(copy.get(), old)) {
        const int error = errno;
        unlink(copyName.c_str());
        errno = error;
        return false;
    }
    if (rewrite(target.get(), bytes)) {
        unlink(copyName.c_str());
        return true;
    }
    const int error = errno;
    if (rewrite(target.get(), old))
        unlink(copyName.c_str());
    errno = error;
    return false;
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    OutputFile file(path);
    if (file.open() && file.write(bytes) && file.commit())
        return true;
    file.discard();
    // A replacement could not keep the file's owner or group; the file
    // itself may still be ours to write.
    if (file.errorNumber() == EPERM && access(path.c_str(), W_OK) == 0)
        return writeInPlace(path, bytes);
    errno = file.errorNumber();
    return false;
}

} // namespace formdesc
