#pragma once

#include <QImage>

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

#include "FormModel.h"

// The bitmaps of one job. A file is read and decoded the first time a page
// needs it and kept for the later pages and repaints. A file that cannot be
// used is reported once: the figure's file name is emptied after the message,
// so that the bitmap is left out from then on.
namespace runtime {

// Larger files are refused with the out-of-memory message: the largest image
// the decoder accepts (64 M pixels of 32 bits) needs less than this.
inline constexpr std::uintmax_t kMaxBitmapFileBytes = 257u * 1024 * 1024;

class BitmapCache {
public:
    // Relative paths are looked up in the current directory, then in formFolder.
    explicit BitmapCache(std::filesystem::path formFolder = {});

    // The figure's image (a shared copy), or a null image when it has no file
    // name or the file cannot be used (the message has been shown then).
    QImage image(formdesc::FigureInfo& figure);

private:
    struct Entry {
        std::string fileName; // as stored in the figure (Shift-JIS)
        QImage image;
    };

    std::filesystem::path m_formFolder;
    std::vector<Entry> m_entries;
};

} // namespace runtime
