#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FormModel.h"

// The bitmaps of one job or one canvas. A file is read and decoded the first
// time a page needs it and kept for the later pages and repaints. A file that
// cannot be used is remembered as such, so that it is reported (when the
// cache reports) and tried only once.
namespace render {

// Larger files are refused with the out-of-memory message: the largest image
// the decoder accepts (64 M pixels of 32 bits) needs less than this.
inline constexpr std::uintmax_t kMaxBitmapFileBytes = 257u * 1024 * 1024;

class BitmapCache {
  public:
    // Whether a file that cannot be used is reported with a message.
    enum class Failures { Report, Silent };

    // Relative paths are looked up in the current directory, then in formFolder.
    explicit BitmapCache(std::filesystem::path formFolder = {}, Failures failures = Failures::Report);

    // The figure's image (a shared copy), or a null image when it has no file
    // name or the file cannot be used.
    QImage image(const formdesc::FigureInfo& figure);

  private:
    struct Entry {
        std::string fileName; // as stored in the figure (Shift-JIS)
        QImage image;         // null: the file cannot be used
    };

    std::filesystem::path m_formFolder;
    Failures m_failures;
    std::vector<Entry> m_entries;
};

} // namespace render
