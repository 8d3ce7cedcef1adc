#include "runtime/data/DataSpool.h"

#include "formdesc/SignalCleanup.h"
#include "runtime/data/Utf8DataConverter.h"

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <vector>

#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

namespace runtime {

namespace {

constexpr std::size_t kBlockBytes = 64 * 1024;

// Where the private folder may go, in order: the user's runtime folder
// (private, cleaned at log-out), $TMPDIR, /tmp. A place that is missing, full
// or not writable gives way to the next.
std::vector<std::string> temporaryParents() {
    std::vector<std::string> parents;
    for (const char* name : {"XDG_RUNTIME_DIR", "TMPDIR"}) {
        const char* value = std::getenv(name);
        if (value && value[0] == '/')
            parents.emplace_back(value);
    }
    parents.emplace_back("/tmp");
    return parents;
}

// Reads what is there, up to size bytes: 0 at the end of the input, -1 on an
// error. A non-blocking input is waited for.
ssize_t readSome(int fd, char* buffer, std::size_t size) {
    for (;;) {
        const ssize_t got = ::read(fd, buffer, size);
        if (got >= 0)
            return got;
        if (errno == EINTR)
            continue;
        if (errno != EAGAIN && errno != EWOULDBLOCK)
            return -1;
        pollfd wait{fd, POLLIN, 0};
        ::poll(&wait, 1, -1);
    }
}

// Reads until size bytes are there or the input ends.
ssize_t readFull(int fd, char* buffer, std::size_t size) {
    std::size_t have = 0;
    while (have < size) {
        const ssize_t got = readSome(fd, buffer + have, size - have);
        if (got < 0)
            return -1;
        if (got == 0)
            break;
        have += static_cast<std::size_t>(got);
    }
    return static_cast<ssize_t>(have);
}

class InputFile {
  public:
    explicit InputFile(int fd, bool owned) : m_fd(fd), m_owned(owned) {}
    ~InputFile() {
        if (m_owned && m_fd >= 0)
            ::close(m_fd);
    }
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;
    int fd() const { return m_fd; }

  private:
    int m_fd;
    bool m_owned;
};

} // namespace

DataSpool::~DataSpool() {
    remove();
}

void DataSpool::remove() {
    m_lineParts.reset();
    if (m_out >= 0)
        ::close(m_out);
    m_out = -1;
    if (!m_file.empty())
        ::unlink(m_file.c_str());
    if (!m_folder.empty())
        ::rmdir(m_folder.c_str());
    formdesc::SignalCleanup::release(m_signalSlot);
    m_signalSlot = formdesc::SignalCleanup::kNoSlot;
    m_file.clear();
    m_folder.clear();
}

bool DataSpool::prepare(const std::string& path, bool fromStandardInput, DataEncoding encoding) {
    remove();
    m_error = 0;
    m_readPath.clear();
    m_replacements = 0;
    m_firstReplacedLine = 0;
    m_encoding = encoding == DataEncoding::Utf8 ? DataEncoding::Utf8 : DataEncoding::ShiftJis;
    if (!fromStandardInput && encoding == DataEncoding::ShiftJis) {
        m_readPath = path;
        return true;
    }

    int fd = STDIN_FILENO;
    if (!fromStandardInput) {
        fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
        if (fd < 0)
            return false;
    }
    const InputFile input(fd, !fromStandardInput);
    struct stat info {};
    // A named data file must be a regular file, as for the reader.
    if (!fromStandardInput && (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)))
        return false;

    std::string head;
    if (encoding == DataEncoding::Auto) {
        head.resize(kEncodingSampleBytes);
        const ssize_t got = readFull(fd, head.data(), head.size());
        if (got < 0)
            return false;
        const bool goesOn = static_cast<std::size_t>(got) == head.size();
        head.resize(static_cast<std::size_t>(got));
        if (looksLikeUtf8(head, goesOn))
            m_encoding = DataEncoding::Utf8;
        else if (!fromStandardInput) {
            m_readPath = path;
            return true;
        }
    }
    if (!createFile())
        return false;
    bool copied = copy(fd, std::move(head), m_encoding == DataEncoding::Utf8);
    if (::close(m_out) != 0 && copied) {
        m_error = errno;
        copied = false;
    }
    m_out = -1;
    if (!copied) {
        remove();
        return false;
    }
    m_readPath = m_file;
    return true;
}

bool DataSpool::prepareRecords(const std::string& path, bool fromStandardInput,
                               const formdesc::FormModel& model, const RecordOptions& options,
                               RecordResult& result) {
    remove();
    m_error = 0;
    m_readPath.clear();
    m_replacements = 0;
    m_firstReplacedLine = 0;
    m_encoding = DataEncoding::ShiftJis;
    result = {};
    std::FILE* in = stdin;
    if (!fromStandardInput) {
        const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
        struct stat info {};
        if (fd < 0)
            return false;
        if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode) || !(in = ::fdopen(fd, "rb"))) {
            ::close(fd);
            return false;
        }
    }
    bool written = createFile();
    if (written) {
        std::string pending;
        result = convertRecords(in, model, options, [&](std::string_view line) {
            pending.append(line);
            pending.push_back('\n');
            if (pending.size() < kBlockBytes)
                return true;
            const bool ok = writeAll(pending);
            pending.clear();
            return ok;
        });
        written = result.ok && writeAll(pending);
        if (::close(m_out) != 0 && written) {
            m_error = errno;
            written = false;
        }
        m_out = -1;
    }
    if (!fromStandardInput)
        std::fclose(in);
    if (!written) {
        remove();
        return false;
    }
    m_replacements = result.replacements;
    m_firstReplacedLine = result.firstReplacedLine;
    m_lineParts = result.lineParts;
    m_readPath = m_file;
    return true;
}

bool DataSpool::createFile() {
    m_parents = temporaryParents();
    m_parent = 0;
    m_written = 0;
    m_error = 0;
    for (; m_parent < m_parents.size(); ++m_parent) {
        if (createFileIn(m_parents[m_parent])) {
            m_error = 0;
            return true;
        }
    }
    return false;
}

bool DataSpool::createFileIn(const std::string& parent) {
    std::string folder = parent + "/zrk-data-XXXXXX";
    if (!::mkdtemp(folder.data())) { // mode 0700
        m_error = errno;
        return false;
    }
    m_folder = folder;
    m_file = folder + "/data";
    m_signalSlot = formdesc::SignalCleanup::add(m_file, m_folder);
    m_out = ::open(m_file.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (m_out < 0) {
        m_error = errno;
        remove();
        return false;
    }
    return true;
}

// The place filled up (or failed) part way: what was written so far goes
// with the job to the next place.
bool DataSpool::moveToNextParent() {
    const std::string oldFile = m_file;
    const std::string oldFolder = m_folder;
    const int oldOut = m_out;
    const int oldSlot = m_signalSlot;
    m_out = -1;
    m_signalSlot = formdesc::SignalCleanup::kNoSlot;
    bool moved = false;
    while (!moved && ++m_parent < m_parents.size()) {
        m_file.clear();
        m_folder.clear();
        if (!createFileIn(m_parents[m_parent]))
            continue;
        moved = copyWritten(oldFile);
        if (!moved)
            remove();
    }
    ::close(oldOut);
    ::unlink(oldFile.c_str());
    ::rmdir(oldFolder.c_str());
    formdesc::SignalCleanup::release(oldSlot);
    if (!moved) {
        m_file.clear();
        m_folder.clear();
    }
    return moved;
}

bool DataSpool::copyWritten(const std::string& from) {
    const int in = ::open(from.c_str(), O_RDONLY | O_CLOEXEC);
    if (in < 0) {
        m_error = errno;
        return false;
    }
    const InputFile input(in, true);
    std::vector<char> block(kBlockBytes);
    std::uint64_t left = m_written;
    while (left > 0) {
        const ssize_t got = readSome(in, block.data(), std::min<std::uint64_t>(left, block.size()));
        if (got <= 0) {
            m_error = got < 0 ? errno : EIO;
            return false;
        }
        for (std::string_view bytes(block.data(), std::size_t(got)); !bytes.empty();) {
            const ssize_t written = ::write(m_out, bytes.data(), bytes.size());
            if (written < 0 && errno == EINTR)
                continue;
            if (written <= 0) {
                m_error = written < 0 ? errno : EIO;
                return false;
            }
            bytes.remove_prefix(std::size_t(written));
        }
        left -= std::uint64_t(got);
    }
    return true;
}

bool DataSpool::writeAll(std::string_view bytes) {
    while (!bytes.empty()) {
        const ssize_t written = ::write(m_out, bytes.data(), bytes.size());
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0) {
            m_error = written < 0 ? errno : EIO;
            if (!moveToNextParent())
                return false;
            m_error = 0;
            continue;
        }
        bytes.remove_prefix(static_cast<std::size_t>(written));
        m_written += std::uint64_t(written);
    }
    return true;
}

bool DataSpool::copy(int fd, std::string head, bool convert) {
    Utf8DataConverter converter;
    if (convert && !converter.isValid())
        return false;
    std::string pending = std::move(head);
    std::string out;
    std::vector<char> block(kBlockBytes);
    bool atEnd = false;
    bool atStart = true;
    while (true) {
        if (!atEnd) {
            const ssize_t got = readSome(fd, block.data(), block.size());
            if (got < 0)
                return false;
            if (got == 0)
                atEnd = true;
            pending.append(block.data(), static_cast<std::size_t>(std::max<ssize_t>(got, 0)));
        }
        if (convert) {
            if (atStart) {
                if (pending.size() < kUtf8Bom.size() && !atEnd)
                    continue;
                if (std::string_view(pending).substr(0, kUtf8Bom.size()) == kUtf8Bom)
                    pending.erase(0, kUtf8Bom.size());
                atStart = false;
            }
            out.clear();
            pending.erase(0, converter.convert(pending, atEnd, out));
            if (!writeAll(out))
                return false;
        } else {
            if (!writeAll(pending))
                return false;
            pending.clear();
        }
        if (atEnd)
            break;
    }
    m_replacements = converter.replacements();
    m_firstReplacedLine = converter.firstReplacedLine();
    return true;
}

void DataSpool::removeOnSignals() {
    formdesc::SignalCleanup::installHandlers();
}

} // namespace runtime
