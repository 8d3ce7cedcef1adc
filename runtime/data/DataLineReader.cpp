#include "runtime/data/DataLineReader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <limits>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace runtime {

DataLineReader::DataLineReader(std::size_t blockBytes) : m_blockBytes(std::max(blockBytes, kMinBlockBytes)) {}

DataLineReader::~DataLineReader() {
    close();
}

bool DataLineReader::open(const std::string& path) {
    close();
    // O_NONBLOCK keeps a FIFO from blocking the open; it is refused below.
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0)
        return false;
    struct stat info {};
    if (::fstat(fd, &info) != 0 || !S_ISREG(info.st_mode)) {
        ::close(fd);
        return false;
    }
    if (!m_block)
        m_block = std::make_unique<char[]>(m_blockBytes);
    m_fd = fd;
    seek(0);
    return true;
}

void DataLineReader::openMemory(std::string_view bytes) {
    close();
    m_memory = bytes;
    m_memoryOpen = true;
    seek(0);
}

void DataLineReader::close() {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_memoryOpen = false;
    m_failed = false;
    m_memory = {};
    m_next = m_end = nullptr;
    m_position = 0;
}

bool DataLineReader::isOpen() const {
    return m_fd >= 0 || m_memoryOpen;
}

void DataLineReader::seek(FilePosition position) {
    m_position = position;
    if (m_memoryOpen) {
        const std::size_t offset =
            static_cast<std::size_t>(std::min<FilePosition>(position, m_memory.size()));
        m_next = m_memory.data() + offset;
        m_end = m_memory.data() + m_memory.size();
    } else {
        m_next = m_end = m_block.get();
    }
}

// Makes at least `wanted` unread bytes available unless the input ends first.
bool DataLineReader::fill(std::size_t wanted) {
    if (available() >= wanted)
        return true;
    if (m_fd < 0)
        return false; // memory: the window already holds everything
    if (m_failed)
        return false;
    char* block = m_block.get();
    const std::size_t kept = available();
    if (kept > 0 && m_next != block)
        std::memmove(block, m_next, kept);
    m_next = block;
    m_end = block + kept;
    while (available() < wanted) {
        const std::size_t room = m_blockBytes - available();
        const FilePosition offset = m_position + available();
        if (offset > static_cast<FilePosition>(std::numeric_limits<off_t>::max()))
            break;
        const ssize_t got = ::pread(m_fd, block + available(), room, static_cast<off_t>(offset));
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            // Not the end of the file: what follows is unknown.
            m_failed = true;
            return false;
        }
        if (got == 0)
            break;
        m_end += got;
    }
    return available() >= wanted;
}

std::optional<std::string_view> DataLineReader::readLine() {
    if (!isOpen())
        return std::nullopt;
    std::size_t length = 0;
    auto advance = [this](std::size_t count) {
        m_next += count;
        m_position += count;
    };
    while (length < kMaxPartBytes) {
        if (!fill(1))
            break;
        // Copy the run of ordinary bytes in one go.
        const std::size_t room = std::min(kMaxPartBytes - length, available());
        const char* stop = m_next + room;
        const char* p = m_next;
        while (p < stop && *p != '\n' && *p != '\r')
            ++p;
        const std::size_t run = static_cast<std::size_t>(p - m_next);
        std::memcpy(m_part + length, m_next, run);
        length += run;
        advance(run);
        if (p == stop)
            continue;
        if (*m_next == '\n') {
            m_part[length++] = '\n';
            advance(1);
            break;
        }
        // A carriage return: dropped when a line feed follows, else kept.
        fill(2);
        if (available() >= 2 && m_next[1] == '\n') {
            m_part[length++] = '\n';
            advance(2);
            break;
        }
        m_part[length++] = '\r';
        advance(1);
    }
    if (length == 0 || m_failed)
        return std::nullopt;
    m_part[length] = '\0';
    return std::string_view(m_part, length);
}

} // namespace runtime
