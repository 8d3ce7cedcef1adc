#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// A Windows profile (.ini) file: "[Section]" headers followed by "key=value"
// lines, CR LF line ends, Shift-JIS bytes. Section and key names match
// without regard to ASCII case and may contain spaces. Every line that is not
// changed is written back exactly as it was read, comments and unknown lines
// included.
namespace platform {

class ProfileFile {
  public:
    ProfileFile() = default;

    // Reads the file; false (and an empty profile) when it is missing or unreadable.
    bool load(const std::string& path);
    // Writes the file atomically; false when that fails (the old file stays).
    bool save(const std::string& path) const;

    static ProfileFile fromBytes(std::string_view bytes);
    std::string toBytes() const;

    // The value of a key, white space around it and one pair of enclosing
    // quotes removed; nothing when the section or key is missing.
    std::optional<std::string> value(std::string_view section, std::string_view key) const;
    std::string text(std::string_view section, std::string_view key, std::string_view fallback) const;
    // The leading decimal number of the value (0 when there is none), or the
    // fallback when the key is missing.
    int integer(std::string_view section, std::string_view key, int fallback) const;

    // Replaces the value of the key, or adds the key at the end of its
    // section, or adds the section at the end of the file.
    void setValue(std::string_view section, std::string_view key, std::string_view value);
    void setInteger(std::string_view section, std::string_view key, int value);

  private:
    struct Line {
        std::string text;   // without its line end
        std::string ending; // "\r\n", "\n", or "" for a last line without one
    };
    // Index of the section's header line, or nothing.
    std::optional<std::size_t> findSection(std::string_view section) const;
    // Index of the key's line within the section that starts at header.
    std::optional<std::size_t> findKey(std::size_t header, std::string_view key) const;
    std::size_t sectionEnd(std::size_t header) const;

    std::vector<Line> m_lines;
};

} // namespace platform
