#include "platform/PathResolver.h"

#include <QString>

#include <system_error>
#include <vector>

namespace platform {

namespace fs = std::filesystem;

namespace {

std::vector<std::string_view> splitComponents(std::string_view path) {
    std::vector<std::string_view> components;
    std::size_t start = 0;
    for (std::size_t i = 0; i <= path.size(); ++i) {
        if (i == path.size() || path[i] == '/' || path[i] == '\\') {
            if (i > start)
                components.push_back(path.substr(start, i - start));
            start = i + 1;
        }
    }
    return components;
}

bool pathExists(const fs::path& path) {
    std::error_code error;
    return fs::exists(path, error);
}

// The entry of folder whose name equals name without regard to case.
std::optional<fs::path> findEntry(const fs::path& folder, std::string_view name) {
    fs::path exact = folder / fs::path(std::u8string(name.begin(), name.end()));
    if (pathExists(exact))
        return exact;
    const QString wanted = QString::fromUtf8(name.data(), qsizetype(name.size()));
    std::optional<fs::path> best;
    std::error_code error;
    fs::directory_iterator it(folder, error);
    for (; !error && it != fs::directory_iterator(); it.increment(error)) {
        const std::string entryName = it->path().filename().string();
        if (QString::fromUtf8(entryName.data(), qsizetype(entryName.size()))
                .compare(wanted, Qt::CaseInsensitive) != 0)
            continue;
        if (!best || it->path().filename() < best->filename())
            best = it->path();
    }
    return best;
}

std::optional<fs::path> resolveFrom(fs::path current, const std::vector<std::string_view>& components) {
    for (std::string_view component : components) {
        if (component == ".")
            continue;
        if (component == "..") {
            current = current.parent_path();
            continue;
        }
        std::optional<fs::path> next = findEntry(current, component);
        if (!next)
            return std::nullopt;
        current = std::move(*next);
    }
    return current;
}

} // namespace

std::optional<fs::path> resolvePathIgnoringCase(std::string_view path, const fs::path& baseFolder) {
    if (path.empty() || path.find('\0') != std::string_view::npos)
        return std::nullopt;
    const std::vector<std::string_view> components = splitComponents(path);
    if (path.front() == '/' || path.front() == '\\')
        return resolveFrom(fs::path("/"), components);
    if (components.empty())
        return std::nullopt;

    // The form's own folder first: a file of the same name in whatever folder
    // the program was started from must not replace the form's picture.
    if (!baseFolder.empty()) {
        if (auto found = resolveFrom(baseFolder, components))
            return found;
    }
    std::error_code error;
    const fs::path currentDir = fs::current_path(error);
    if (error)
        return std::nullopt;
    return resolveFrom(currentDir, components);
}

} // namespace platform
