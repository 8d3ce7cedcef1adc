#pragma once

#include <mutex>
#include <optional>
#include <string>
#include <unordered_map>

// The names a PDF document has given so far, shared by its lanes: a face's
// resource name by face identity and an image's object number by pixel
// digest. The document adds them as it puts pages in; a lane asks only for
// faces and images it has not resolved yet, so the lock is off the hot path.
namespace platform {

class PdfSharedNames {
  public:
    std::optional<std::string> faceName(const std::string& identity) const;
    std::optional<int> imageObject(const std::string& key) const;

    void addFace(const std::string& identity, const std::string& name);
    void addImage(const std::string& key, int object);

  private:
    mutable std::mutex m_mutex;
    std::unordered_map<std::string, std::string> m_faces;
    std::unordered_map<std::string, int> m_images;
};

} // namespace platform
