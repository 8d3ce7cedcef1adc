#include "platform/ProfileFile.h"

#include "formdesc/AtomicFile.h"
#include "formdesc/ShiftJis.h"

#include <sys/stat.h>

#include <climits>
#include <fstream>
#include <iterator>

namespace platform {

namespace {

namespace sjis = formdesc::sjis;

// Names compare as Windows compares them: ASCII letters without regard to
// case, double-byte characters whole (a trail byte is never folded).
bool sameName(std::string_view a, std::string_view b) {
    return sjis::toUpperCopy(sjis::trim(a)) == sjis::toUpperCopy(sjis::trim(b));
}

// The name of a "[Section]" header line, or nothing for any other line.
std::optional<std::string_view> headerName(std::string_view line) {
    const std::string_view trimmed = sjis::trim(line);
    if (trimmed.empty() || trimmed.front() != '[')
        return std::nullopt;
    std::string_view name = trimmed.substr(1);
    const std::size_t close = name.find(']');
    if (close != std::string_view::npos)
        name = name.substr(0, close);
    return sjis::trim(name);
}

struct KeyLine {
    std::string_view key;
    std::string_view value;
};

// The key and value of a "key=value" line, or nothing.
std::optional<KeyLine> keyLine(std::string_view line) {
    if (headerName(line))
        return std::nullopt;
    const std::size_t equals = line.find('=');
    if (equals == std::string_view::npos)
        return std::nullopt;
    return KeyLine{sjis::trim(line.substr(0, equals)), sjis::trim(line.substr(equals + 1))};
}

bool isBlank(std::string_view line) {
    return sjis::trim(line).empty();
}

} // namespace

bool ProfileFile::load(const std::string& path) {
    m_lines.clear();
    struct stat info {};
    if (::stat(path.c_str(), &info) != 0 || !S_ISREG(info.st_mode))
        return false;
    std::ifstream in(path, std::ios::binary);
    if (!in)
        return false;
    const std::string bytes{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad())
        return false;
    *this = fromBytes(bytes);
    return true;
}

bool ProfileFile::save(const std::string& path) const {
    return formdesc::writeFileAtomically(path, toBytes());
}

ProfileFile ProfileFile::fromBytes(std::string_view bytes) {
    ProfileFile profile;
    std::size_t start = 0;
    while (start < bytes.size()) {
        const std::size_t feed = bytes.find('\n', start);
        if (feed == std::string_view::npos) {
            profile.m_lines.push_back({std::string(bytes.substr(start)), ""});
            break;
        }
        std::size_t end = feed;
        std::string ending = "\n";
        if (end > start && bytes[end - 1] == '\r') {
            --end;
            ending = "\r\n";
        }
        profile.m_lines.push_back({std::string(bytes.substr(start, end - start)), ending});
        start = feed + 1;
    }
    return profile;
}

std::string ProfileFile::toBytes() const {
    std::string bytes;
    for (const Line& line : m_lines) {
        bytes += line.text;
        bytes += line.ending;
    }
    return bytes;
}

std::optional<std::size_t> ProfileFile::findSection(std::string_view section) const {
    for (std::size_t i = 0; i < m_lines.size(); ++i) {
        const auto name = headerName(m_lines[i].text);
        if (name && sameName(*name, section))
            return i;
    }
    return std::nullopt;
}

std::size_t ProfileFile::sectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < m_lines.size() && !headerName(m_lines[i].text))
        ++i;
    return i;
}

std::optional<std::size_t> ProfileFile::findKey(std::size_t header, std::string_view key) const {
    const std::size_t end = sectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        const auto line = keyLine(m_lines[i].text);
        if (line && sameName(line->key, key))
            return i;
    }
    return std::nullopt;
}

std::optional<std::string> ProfileFile::value(std::string_view section, std::string_view key) const {
    const auto header = findSection(section);
    if (!header)
        return std::nullopt;
    const auto index = findKey(*header, key);
    if (!index)
        return std::nullopt;
    std::string_view text = keyLine(m_lines[*index].text)->value;
    if (text.size() >= 2 && (text.front() == '"' || text.front() == '\'') && text.back() == text.front())
        text = text.substr(1, text.size() - 2);
    return std::string(text);
}

std::string ProfileFile::text(std::string_view section, std::string_view key,
                              std::string_view fallback) const {
    auto found = value(section, key);
    return found ? *found : std::string(fallback);
}

int ProfileFile::integer(std::string_view section, std::string_view key, int fallback) const {
    const auto found = value(section, key);
    if (!found)
        return fallback;
    const char* first = found->data();
    const char* last = first + found->size();
    const bool negative = first != last && *first == '-';
    if (first != last && (*first == '-' || *first == '+'))
        ++first;
    // Digits only, as many as fit; anything after them is ignored.
    long long number = 0;
    for (; first != last && *first >= '0' && *first <= '9'; ++first) {
        number = number * 10 + (*first - '0');
        if (number > INT_MAX)
            return negative ? INT_MIN : INT_MAX;
    }
    return static_cast<int>(negative ? -number : number);
}

void ProfileFile::setValue(std::string_view section, std::string_view key, std::string_view value) {
    const std::string line = std::string(key) + "=" + std::string(value);
    const auto header = findSection(section);
    if (!header) {
        if (!m_lines.empty() && m_lines.back().ending.empty())
            m_lines.back().ending = "\r\n";
        m_lines.push_back({"[" + std::string(section) + "]", "\r\n"});
        m_lines.push_back({line, "\r\n"});
        return;
    }
    if (const auto index = findKey(*header, key)) {
        // An unchanged value keeps its line exactly as it was.
        if (this->value(section, key) == std::string(value))
            return;
        // The key keeps its spelling in the file; only the value changes.
        m_lines[*index].text = std::string(keyLine(m_lines[*index].text)->key) + "=" + std::string(value);
        return;
    }
    // A new key goes after the section's last line that is not blank.
    std::size_t at = sectionEnd(*header);
    while (at > *header + 1 && isBlank(m_lines[at - 1].text))
        --at;
    if (m_lines[at - 1].ending.empty())
        m_lines[at - 1].ending = "\r\n";
    m_lines.insert(m_lines.begin() + static_cast<std::ptrdiff_t>(at), Line{line, "\r\n"});
}

void ProfileFile::setInteger(std::string_view section, std::string_view key, int value) {
    setValue(section, key, std::to_string(value));
}

} // namespace platform
