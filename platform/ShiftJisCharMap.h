#pragma once

#include <cstdint>
#include <unordered_map>

// The Unicode character of a one- or two-byte Shift-JIS code (lead byte in the
// high byte), decoded with the Windows table and remembered: text is drawn a
// cell at a time, so the same few codes come back millions of times.
namespace platform {

class ShiftJisCharMap {
  public:
    ShiftJisCharMap();
    // 0 when the code is no character.
    char16_t unicodeFor(std::uint16_t code);

  private:
    std::unordered_map<std::uint16_t, char16_t> m_unicode;
};

} // namespace platform
