#include "platform/PngPageTarget.h"

#include "platform/PngPageLane.h"

#include "formdesc/OutputFile.h"

#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <dirent.h>

namespace platform {

namespace {

// The page number conversion in a valid pattern: where it starts and ends.
std::pair<std::size_t, std::size_t> conversionIn(const std::string& pattern) {
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%')
            continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t end = i + 1;
        while (end < pattern.size() && pattern[end] != 'd' && pattern[end] != 'i')
            ++end;
        return {i, end + 1};
    }
    return {pattern.size(), pattern.size()};
}

// Literal pattern text as printf writes it.
std::string unescape(std::string_view literal) {
    std::string text;
    for (std::size_t i = 0; i < literal.size(); ++i) {
        text.push_back(literal[i]);
        if (literal[i] == '%' && i + 1 < literal.size() && literal[i + 1] == '%')
            ++i;
    }
    return text;
}

} // namespace

PngPageTarget::PngPageTarget(std::string pattern, PaperTenths paper, int dpi, int firstPageNumber)
    : m_pattern(std::move(pattern)), m_paper(paper), m_dpi(dpi), m_pages(firstPageNumber - 1) {}

PngPageTarget::~PngPageTarget() = default;

bool PngPageTarget::isValidPagePattern(const std::string& pattern) {
    int conversions = 0;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        if (pattern[i] != '%')
            continue;
        if (i + 1 < pattern.size() && pattern[i + 1] == '%') {
            ++i;
            continue;
        }
        std::size_t k = i + 1;
        while (k < pattern.size() && std::string_view("-+ 0#").find(pattern[k]) != std::string_view::npos)
            ++k;
        std::size_t digits = 0;
        while (k < pattern.size() && pattern[k] >= '0' && pattern[k] <= '9' && digits < 3)
            ++k, ++digits;
        if (k >= pattern.size() || (pattern[k] != 'd' && pattern[k] != 'i'))
            return false;
        ++conversions;
        i = k;
    }
    return conversions == 1;
}

std::string PngPageTarget::pagePath(int page) const {
    char name[4096];
    const int length = std::snprintf(name, sizeof name, m_pattern.c_str(), page);
    return length < 0 ? std::string() : std::string(name, std::min<std::size_t>(length, sizeof name - 1));
}

std::vector<std::string> PngPageTarget::existingPagePaths() const {
    // Candidates are the entries of the folder above the component that
    // holds the number whose name has that component's text around a
    // number; each is checked by writing its page name again.
    if (!isValidPagePattern(m_pattern))
        return {};
    const auto [start, end] = conversionIn(m_pattern);
    const std::size_t slash = m_pattern.rfind('/', start);
    const std::size_t componentStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t componentEnd = std::min(m_pattern.find('/', end), m_pattern.size());
    const std::string folder = slash == std::string::npos ? "."
                               : slash == 0               ? "/"
                                                          : unescape(m_pattern.substr(0, slash));
    const std::string head = slash == std::string::npos ? "" : unescape(m_pattern.substr(0, slash + 1));
    const std::string prefix =
        unescape(std::string_view(m_pattern).substr(componentStart, start - componentStart));
    const std::string suffix = unescape(std::string_view(m_pattern).substr(end, componentEnd - end));
    const std::string tail = unescape(std::string_view(m_pattern).substr(componentEnd));

    std::vector<std::string> paths;
    DIR* entries = opendir(folder.c_str());
    if (!entries)
        return paths;
    while (const dirent* entry = readdir(entries)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= prefix.size() + suffix.size() || !name.starts_with(prefix) ||
            !name.ends_with(suffix))
            continue;
        const std::string number(name.substr(prefix.size(), name.size() - prefix.size() - suffix.size()));
        char* stop = nullptr;
        errno = 0;
        const long page = std::strtol(number.c_str(), &stop, 10);
        if (errno != 0 || *stop != '\0' || page < 1 || page > INT_MAX)
            continue;
        std::string path = pagePath(int(page));
        if (path == head + std::string(name) + tail && formdesc::fileIdentity(path))
            paths.push_back(std::move(path));
    }
    closedir(entries);
    return paths;
}

bool PngPageTarget::beginDocument(const std::string&) {
    if (!isValidPagePattern(m_pattern)) {
        m_error = "the page pattern needs one page number conversion such as %d";
        return false;
    }
    // Fail before drawing anything when the first page cannot be written.
    formdesc::OutputFile probe(pagePath(1));
    if (!probe.check()) {
        m_error = pagePath(1) + ": " + probe.errorText();
        return false;
    }
    const long long width = static_cast<long long>(m_dpi) * m_paper.width / 254;
    const long long height = static_cast<long long>(m_dpi) * m_paper.height / 254;
    if (width <= 0 || height <= 0 || width * height > 400'000'000LL) {
        m_error = "the page image would be too large";
        return false;
    }
    m_width = static_cast<int>(width);
    m_height = static_cast<int>(height);
    try {
        m_lane = std::make_unique<PngPageLane>(m_width, m_height, m_dpi);
    } catch (const std::bad_alloc&) {
        m_error = "not enough memory for the page image";
        return false;
    }
    return true;
}

DeviceContext& PngPageTarget::deviceContext() {
    return m_lane->deviceContext();
}

std::unique_ptr<PageLane> PngPageTarget::openLane() {
    if (!m_lane)
        return nullptr;
    return std::make_unique<PngPageLane>(m_width, m_height, m_dpi);
}

void PngPageTarget::beginPage() {
    m_lane->beginPage();
}

void PngPageTarget::endPage() {
    putPage(m_lane->endPage());
}

void PngPageTarget::putPage(std::unique_ptr<DrawnPage> drawn) {
    ++m_pages;
    if (m_failed || !drawn)
        return;
    const auto& page = static_cast<const PngDrawnPage&>(*drawn);
    formdesc::OutputFile file(pagePath(m_pages));
    const bool written = page.encoded && file.open() && file.write(page.bytes) && file.commit();
    if (!written) {
        // An encoder failure with no write error is a lack of memory.
        m_error =
            pagePath(m_pages) + ": " + (file.failed() ? file.errorText() : formdesc::systemErrorText(ENOMEM));
        m_failed = true;
    }
}

bool PngPageTarget::endDocument() {
    m_lane.reset();
    return !m_failed;
}

} // namespace platform
