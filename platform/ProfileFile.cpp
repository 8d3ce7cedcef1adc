#include "ProfileFile.h"

namespace platform {
bool ProfileFile::load(const std::string&) {
    return false;
} // not built yet
bool ProfileFile::save(const std::string&) const {
    return false;
}
ProfileFile ProfileFile::fromBytes(std::string_view) {
    return {};
}
std::string ProfileFile::toBytes() const {
    return {};
}
std::optional<std::string> ProfileFile::value(std::string_view, std::string_view) const {
    return {};
}
std::string ProfileFile::text(std::string_view, std::string_view, std::string_view f) const {
    return std::string(f);
}
int ProfileFile::integer(std::string_view, std::string_view, int f) const {
    return f;
}
void ProfileFile::setValue(std::string_view, std::string_view, std::string_view) {}
void ProfileFile::setInteger(std::string_view, std::string_view, int) {}
std::optional<std::size_t> ProfileFile::findSection(std::string_view) const {
    return {};
}
std::optional<std::size_t> ProfileFile::findKey(std::size_t, std::string_view) const {
    return {};
}
std::size_t ProfileFile::sectionEnd(std::size_t) const {
    return 0;
}
} // namespace platform
