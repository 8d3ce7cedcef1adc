#include "render/BitmapCache.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <new>
#include <utility>
#include <vector>

#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "platform/BmpImage.h"
#include "platform/PathResolver.h"

namespace render {

namespace {

constexpr std::string_view kOpenFailed = "イメージのオープンに失敗しました（";
constexpr std::string_view kEmptyFile = "空のファイルです（";
constexpr std::string_view kNoMemory = "メモリが足りません（";

// An open file descriptor, closed with its owner.
class FileDescriptor {
  public:
    FileDescriptor() = default;
    explicit FileDescriptor(int fd) : m_fd(fd) {}
    ~FileDescriptor() {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    FileDescriptor(FileDescriptor&& other) noexcept : m_fd(std::exchange(other.m_fd, -1)) {}
    FileDescriptor& operator=(FileDescriptor&& other) noexcept {
        std::swap(m_fd, other.m_fd);
        return *this;
    }

    int get() const { return m_fd; }
    bool valid() const { return m_fd >= 0; }

  private:
    int m_fd = -1;
};

// What a path led to: a regular file open for reading, or the identity of a
// file that cannot be read (when it exists at all).
struct OpenedFile {
    FileDescriptor fd;
    std::optional<struct stat> status;
};

// Opens only regular files. The open does not block (a FIFO would otherwise
// wait for a writer for ever), and the type is checked on what was opened, so
// that nothing can be put in its place between the check and the read.
OpenedFile openRegularFile(const std::optional<std::filesystem::path>& path) {
    OpenedFile result;
    if (!path)
        return result;
    struct stat status {};
    FileDescriptor fd(::open(path->c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY));
    if (!fd.valid()) {
        // Unreadable, but still one file under every spelling.
        if (::stat(path->c_str(), &status) == 0)
            result.status = status;
        return result;
    }
    if (::fstat(fd.get(), &status) != 0)
        return result;
    result.status = status;
    if (S_ISREG(status.st_mode))
        result.fd = std::move(fd);
    return result;
}

// The first size bytes of the file (fewer if it has shrunk since), or nothing
// on a read error. Throws std::bad_alloc when the bytes do not fit in memory.
std::optional<std::vector<unsigned char>> readBytes(int fd, std::uintmax_t size) {
    std::vector<unsigned char> bytes(static_cast<std::size_t>(size));
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t count = ::pread(fd, bytes.data() + done, bytes.size() - done, off_t(done));
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return std::nullopt;
        if (count == 0)
            break;
        done += std::size_t(count);
    }
    bytes.resize(done);
    return bytes;
}

void showMessage(std::string_view text, std::string_view sjisFileName) {
    std::string message(text);
    message += formdesc::sjis::toUtf8(sjisFileName);
    message += "）";
    formdesc::messageSink().show(formdesc::kCaptionError, message, formdesc::MessageIcon::Exclamation);
}

} // namespace

BitmapCache::BitmapCache(std::filesystem::path formFolder, Failures failures, std::size_t memoryBudget)
    : m_formFolder(std::move(formFolder)), m_failures(failures), m_budget(memoryBudget) {}

QImage BitmapCache::image(const formdesc::FigureInfo& figure) {
    const std::string_view fileName = formdesc::sjis::view(figure.fileName());
    if (fileName.empty())
        return {};
    const std::lock_guard hold(m_lock);
    if (const auto spelling = m_spellings.find(fileName); spelling != m_spellings.end()) {
        if (!spelling->second)
            return {};
        File& file = m_files.at(*spelling->second);
        if (file.failed)
            return {};
        if (!file.image.isNull())
            return use(file);
        // Dropped to stay within the budget: the spelling is looked up again,
        // since the file may have been replaced in the meantime.
    }
    return load(fileName);
}

QImage BitmapCache::load(std::string_view sjisFileName) {
    const OpenedFile opened = openRegularFile(
        platform::resolvePathIgnoringCase(formdesc::sjis::toUtf8(sjisFileName), m_formFolder));
    if (!opened.status) {
        m_spellings.insert_or_assign(std::string(sjisFileName), std::nullopt);
        return fail(kOpenFailed, sjisFileName, nullptr);
    }
    const FileId id{std::uint64_t(opened.status->st_dev), std::uint64_t(opened.status->st_ino)};
    m_spellings.insert_or_assign(std::string(sjisFileName), id);
    File& file = m_files[id];
    // Known under another spelling: kept, or already reported.
    if (file.failed)
        return {};
    if (!file.image.isNull())
        return use(file);

    if (!opened.fd.valid())
        return fail(kOpenFailed, sjisFileName, &file);
    const auto size = std::uintmax_t(opened.status->st_size);
    if (size == 0)
        return fail(kEmptyFile, sjisFileName, &file);
    if (size > kMaxBitmapFileBytes)
        return fail(kNoMemory, sjisFileName, &file);
    bool outOfMemory = false;
    std::optional<QImage> image = readAndDecode(opened.fd.get(), size, outOfMemory);
    if (outOfMemory)
        return fail(kNoMemory, sjisFileName, &file);
    // A file that is not a BMP we can decode is one we cannot open as an image.
    if (!image || image->isNull())
        return fail(kOpenFailed, sjisFileName, &file);
    keep(file, std::move(*image));
    return use(file);
}

// An allocation that fails is tried once more after every kept image has been
// dropped: they are read again later, which is slower but prints the job.
std::optional<QImage> BitmapCache::readAndDecode(int fd, std::uintmax_t size, bool& outOfMemory) {
    for (bool retried = false;; retried = true) {
        try {
            const std::optional<std::vector<unsigned char>> bytes = readBytes(fd, size);
            if (!bytes)
                return std::nullopt;
            return platform::decodeBmp(*bytes);
        } catch (const std::bad_alloc&) {
            if (retried || m_bytesKept == 0) {
                outOfMemory = true;
                return std::nullopt;
            }
            dropAll();
        }
    }
}

QImage BitmapCache::use(File& file) {
    file.lastUse = ++m_clock;
    return file.image;
}

QImage BitmapCache::fail(std::string_view text, std::string_view sjisFileName, File* file) {
    if (file)
        file->failed = true;
    if (m_failures == Failures::Report)
        showMessage(text, sjisFileName);
    return {};
}

void BitmapCache::keep(File& file, QImage image) {
    file.image = std::move(image);
    m_bytesKept += std::size_t(file.image.sizeInBytes());
    dropBeyondBudget(file);
}

// The image just decoded stays even when it alone is over the budget: the
// page needs it now.
void BitmapCache::dropBeyondBudget(const File& current) {
    while (m_bytesKept > m_budget) {
        File* oldest = nullptr;
        for (auto& [id, file] : m_files)
            if (&file != &current && !file.image.isNull() && (!oldest || file.lastUse < oldest->lastUse))
                oldest = &file;
        if (!oldest)
            return;
        m_bytesKept -= std::size_t(oldest->image.sizeInBytes());
        oldest->image = QImage();
    }
}

void BitmapCache::dropAll() {
    for (auto& [id, file] : m_files)
        file.image = QImage();
    m_bytesKept = 0;
}

} // namespace render
