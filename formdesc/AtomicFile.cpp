#include "AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace formdesc {

namespace {

// Removes the temporary file unless it was committed.
class TemporaryFile {
  public:
    explicit TemporaryFile(std::string pathTemplate) : m_path(std::move(pathTemplate)) {
        m_fd = mkstemp(m_path.data());
        m_created = m_fd >= 0;
    }
    ~TemporaryFile() {
        if (m_fd >= 0)
            close(m_fd);
        if (m_created && !m_committed)
            unlink(m_path.c_str());
    }
    TemporaryFile(const TemporaryFile&) = delete;
    TemporaryFile& operator=(const TemporaryFile&) = delete;

    bool valid() const { return m_fd >= 0; }
    bool write(std::string_view bytes) {
        while (!bytes.empty()) {
            const ssize_t written = ::write(m_fd, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0)
                return false;
            bytes.remove_prefix(static_cast<std::size_t>(written));
        }
        return true;
    }
    bool closeSynced() {
        const bool ok = fsync(m_fd) == 0;
        const bool closed = close(m_fd) == 0;
        m_fd = -1;
        return ok && closed;
    }
    int fd() const { return m_fd; }
    const std::string& path() const { return m_path; }
    void commit() { m_committed = true; }

  private:
    std::string m_path;
    int m_fd = -1;
    bool m_created = false;
    bool m_committed = false;
};

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

} // namespace

bool writeFileAtomically(const std::string& path, std::string_view bytes) {
    if (path.empty() || path.back() == '/')
        return false;
    struct stat target {};
    const bool exists = stat(path.c_str(), &target) == 0;
    if (exists && !S_ISREG(target.st_mode))
        return false;
    TemporaryFile temp(folderOf(path) + "/.tmp-XXXXXX");
    if (!temp.valid())
        return false;
    mode_t mode = 0644;
    if (exists)
        mode = target.st_mode & 07777;
    else {
        const mode_t mask = umask(0);
        umask(mask);
        mode = 0666 & ~mask;
    }
    if (fchmod(temp.fd(), mode) != 0 || !temp.write(bytes) || !temp.closeSynced())
        return false;
    if (std::rename(temp.path().c_str(), path.c_str()) != 0)
        return false;
    temp.commit();
    return true;
}

} // namespace formdesc
