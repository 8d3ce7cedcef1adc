#include "BitmapCache.h"

#include <fstream>
#include <new>
#include <optional>
#include <system_error>

#include "BmpImage.h"
#include "MessageSink.h"
#include "PathResolver.h"
#include "ShiftJis.h"

namespace render {

namespace {

constexpr std::string_view kOpenFailed = "イメージのオープンに失敗しました（";
constexpr std::string_view kEmptyFile = "空のファイルです（";
constexpr std::string_view kNoMemory = "メモリが足りません（";

using Report = void (*)(std::string_view text, std::string_view sjisFileName);

void showMessage(std::string_view text, std::string_view sjisFileName) {
    std::string message(text);
    message += formdesc::sjis::toUtf8(sjisFileName);
    message += "）";
    formdesc::messageSink().show(formdesc::kCaptionError, message, formdesc::MessageIcon::Exclamation);
}

// Reads and decodes the file, or shows the message that says why not.
void stayQuiet(std::string_view, std::string_view) {}

std::optional<QImage> load(std::string_view sjisFileName, const std::filesystem::path& formFolder,
                           Report report) {
    const auto path = platform::resolvePathIgnoringCase(formdesc::sjis::toUtf8(sjisFileName), formFolder);
    std::ifstream file;
    if (path)
        file.open(*path, std::ios::binary);
    if (!path || !file.is_open()) {
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

BitmapCache::BitmapCache(std::filesystem::path formFolder, Failures failures)
    : m_formFolder(std::move(formFolder)), m_failures(failures) {}

QImage BitmapCache::image(const formdesc::FigureInfo& figure) {
    const std::string_view fileName = formdesc::sjis::view(figure.fileName);
    if (fileName.empty())
        return {};
    for (const Entry& entry : m_entries)
        if (entry.fileName == fileName)
            return entry.image;
    const std::optional<QImage> image =
        load(fileName, m_formFolder, m_failures == Failures::Report ? showMessage : stayQuiet);
    m_entries.push_back({std::string(fileName), image.value_or(QImage())});
    return m_entries.back().image;
}

} // namespace render
