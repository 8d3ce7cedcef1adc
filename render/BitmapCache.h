#pragma once

#include <QImage>

#include <compare>
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <map>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "formdesc/FormModel.h"

// The bitmaps of one job or one canvas. A file is read and decoded the first
// time a page needs it and kept for the later pages and repaints. Files are
// told apart by what they are (device and inode), not by how the form spells
// them, so "LOGO.BMP", ".\LOGO.BMP" and a link to it share one image. A file
// that cannot be used is remembered as such, so that it is reported (when the
// cache reports) and tried only once.
namespace render {

// Larger files are refused with the out-of-memory message: the largest image
// the decoder accepts (64 M pixels of 32 bits) needs less than this.
inline constexpr std::uintmax_t kMaxBitmapFileBytes = 257u * 1024 * 1024;

// Decoded images beyond this many bytes are dropped, least recently used
// first; a dropped image is read and decoded again when a page needs it.
inline constexpr std::size_t kBitmapMemoryBudget = 512u * 1024 * 1024;

class BitmapCache {
  public:
    // Whether a file that cannot be used is reported with a message.
    enum class Failures { Report, Silent };

    // Relative paths are looked up in formFolder, then in the current directory.
    explicit BitmapCache(std::filesystem::path formFolder = {}, Failures failures = Failures::Report,
                         std::size_t memoryBudget = kBitmapMemoryBudget);

    // The figure's image (a shared copy), or a null image when it has no file
    // name or the file cannot be used. Several threads may ask at once.
    QImage image(const formdesc::FigureInfo& figure);

    // Bytes held by the decoded images kept now.
    std::size_t bytesKept() const {
        const std::lock_guard hold(m_lock);
        return m_bytesKept;
    }

  private:
    struct FileId {
        std::uint64_t device = 0;
        std::uint64_t inode = 0;
        auto operator<=>(const FileId&) const = default;
    };
    struct File {
        QImage image; // null: not decoded (dropped, or the file cannot be used)
        bool failed = false;
        std::uint64_t lastUse = 0;
    };

    QImage load(std::string_view sjisFileName);
    std::optional<QImage> readAndDecode(int fd, std::uintmax_t size, bool& outOfMemory);
    QImage use(File& file);
    QImage fail(std::string_view text, std::string_view sjisFileName, File* file);
    void keep(File& file, QImage image);
    void dropBeyondBudget(const File& current);
    void dropAll();

    std::filesystem::path m_formFolder;
    Failures m_failures;
    std::size_t m_budget;
    // What each spelling led to; nothing when the file could not be told
    // apart (it does not exist).
    std::map<std::string, std::optional<FileId>, std::less<>> m_spellings;
    std::map<FileId, File> m_files;
    std::size_t m_bytesKept = 0;
    std::uint64_t m_clock = 0;
    mutable std::mutex m_lock;
};

} // namespace render
