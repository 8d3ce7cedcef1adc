#include "BitmapCache.h"

#include <fstream>
#include <new>
#include <optional>
#include <system_error>

#include "BmpImage.h"
#include "MessageSink.h"
#include "PathResolver.h"
#include "ShiftJis.h"

namespace runtime {

namespace {

constexpr std::string_view kOpenFailed = "イメージのオープンに失敗しました（";
constexpr std::string_view kEmptyFile = "空のファイルです（";
constexpr std::string_view kNoMemory = "メモリが足りません（";

void report(std::string_view text, std::string_view sjisFileName) {
    std::string message(text);
    message += formdesc::sjis::toUtf8(sjisFileName);
    message += "）";
    formdesc::messageSink().show(formdesc::kCaptionError, message, formdesc::MessageIcon::Exclamation);
}

// Reads and decodes the file, or shows the message that says why not.
std::optional<QImage> load(std::string_view sjisFileName, const std::filesystem::path& formFolder) {
    const auto path = platform::resolvePathIgnoringCase(formdesc::sjis::toUtf8(sjisFileName), formFolder);
    std::ifstream file;
    if (path)
        file.open(*path, std::ios::binary);
    if (!file) {
        report(kOpenFailed, sjisFileName);
        return std::nullopt;
    }
    std::error_code error;
    const std::uintmax_t size = std::filesystem::file_size(*path, error);
    if (error) {
        report(kOpenFailed, sjisFileName);
        return std::nullopt;
    }
    if (size == 0) {
        report(kEmptyFile, sjisFileName);
        return std::nullopt;
    }
    std::vector<unsigned char> bytes;
    try {
        if (size > kMaxBitmapFileBytes)
            throw std::bad_alloc();
        bytes.resize(static_cast<std::size_t>(size));
    } catch (const std::bad_alloc&) {
        report(kNoMemory, sjisFileName);
        return std::nullopt;
    }
    file.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
    bytes.resize(static_cast<std::size_t>(file.gcount()));
    // A file that is not a BMP we can decode is one we cannot open as an image.
    std::optional<QImage> image = platform::decodeBmp(bytes);
    if (!image || image->isNull()) {
        report(kOpenFailed, sjisFileName);
        return std::nullopt;
    }
    return image;
}

} // namespace

BitmapCache::BitmapCache(std::filesystem::path formFolder) : m_formFolder(std::move(formFolder)) {}

QImage BitmapCache::image(formdesc::FigureInfo& figure) {
    const std::string_view fileName = formdesc::sjis::view(figure.fileName);
    if (fileName.empty())
        return {};
    for (const Entry& entry : m_entries)
        if (entry.fileName == fileName)
            return entry.image;
    std::optional<QImage> image = load(fileName, m_formFolder);
    if (!image) {
        figure.fileName[0] = '\0';
        return {};
    }
    m_entries.push_back({std::string(fileName), *image});
    return *image;
}

} // namespace runtime
