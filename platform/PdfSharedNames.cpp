#include "platform/PdfSharedNames.h"

namespace platform {

std::optional<std::string> PdfSharedNames::faceName(const std::string& identity) const {
    const std::lock_guard lock(m_mutex);
    if (auto found = m_faces.find(identity); found != m_faces.end())
        return found->second;
    return std::nullopt;
}

std::optional<int> PdfSharedNames::imageObject(const std::string& key) const {
    const std::lock_guard lock(m_mutex);
    if (auto found = m_images.find(key); found != m_images.end())
        return found->second;
    return std::nullopt;
}

void PdfSharedNames::addFace(const std::string& identity, const std::string& name) {
    const std::lock_guard lock(m_mutex);
    m_faces.emplace(identity, name);
}

void PdfSharedNames::addImage(const std::string& key, int object) {
    const std::lock_guard lock(m_mutex);
    m_images.emplace(key, object);
}

} // namespace platform
