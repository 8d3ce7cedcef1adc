#include "runtime/data/CodePageCache.h"

#include <iconv.h>

namespace runtime {

namespace {

constexpr std::uint32_t kMissing = 0xFFFFFFFF;
constexpr std::uint32_t kPlaneSize = 0x10000;

iconv_t descriptor(void* cd) {
    return static_cast<iconv_t>(cd);
}

bool opened(void* cd) {
    return descriptor(cd) != reinterpret_cast<iconv_t>(-1);
}

} // namespace

CodePageCache::CodePageCache() : m_cd(iconv_open("CP932", "UTF-8")) {}

CodePageCache::~CodePageCache() {
    if (opened(m_cd))
        iconv_close(descriptor(m_cd));
}

std::uint32_t CodePageCache::remember(std::uint32_t codePoint, std::string_view character) {
    char converted[8];
    char* in = const_cast<char*>(character.data());
    std::size_t inLeft = character.size();
    char* out = converted;
    std::size_t outLeft = sizeof converted;
    const std::size_t result = iconv(descriptor(m_cd), &in, &inLeft, &out, &outLeft);
    const std::size_t length = sizeof converted - outLeft;
    std::uint32_t entry = kMissing;
    if (result != static_cast<std::size_t>(-1) && inLeft == 0 && (length == 1 || length == 2)) {
        entry = static_cast<unsigned char>(converted[0]);
        if (length == 2)
            entry = entry << 8 | static_cast<unsigned char>(converted[1]);
        entry |= static_cast<std::uint32_t>(length) << 24;
    }
    iconv(descriptor(m_cd), nullptr, nullptr, nullptr, nullptr);
    m_table[codePoint] = entry;
    return entry;
}

bool CodePageCache::convert(std::string_view value, std::string& out) {
    if (!opened(m_cd))
        return false;
    if (m_table.empty())
        m_table.assign(kPlaneSize, 0);
    const std::size_t start = out.size();
    // A character of the basic plane never takes more bytes in code page
    // 932 than in UTF-8.
    out.resize(start + value.size());
    char* to = out.data() + start;
    const auto* from = reinterpret_cast<const unsigned char*>(value.data());
    const auto* end = from + value.size();
    while (from < end) {
        const unsigned char lead = *from;
        // ASCII is the same in both.
        if (lead < 0x80) {
            *to++ = static_cast<char>(lead);
            ++from;
            continue;
        }
        std::uint32_t codePoint = 0;
        std::size_t length = 0;
        if (lead >= 0xC2 && lead <= 0xDF && end - from >= 2 && (from[1] & 0xC0) == 0x80) {
            codePoint = static_cast<std::uint32_t>(lead & 0x1F) << 6 | (from[1] & 0x3F);
            length = 2;
        } else if (lead >= 0xE0 && lead <= 0xEF && end - from >= 3 && (from[1] & 0xC0) == 0x80 &&
                   (from[2] & 0xC0) == 0x80) {
            codePoint = static_cast<std::uint32_t>(lead & 0x0F) << 12 |
                        static_cast<std::uint32_t>(from[1] & 0x3F) << 6 | (from[2] & 0x3F);
            length = 3;
        }
        // Overlong forms and surrogates are no UTF-8.
        const bool wellFormed =
            length == 2 || (length == 3 && codePoint >= 0x800 && (codePoint < 0xD800 || codePoint > 0xDFFF));
        const std::uint32_t entry =
            wellFormed ? lookUp(codePoint, std::string_view(reinterpret_cast<const char*>(from), length))
                       : kMissing;
        if (entry == kMissing) {
            out.resize(start);
            return false;
        }
        if (entry >> 24 == 2)
            *to++ = static_cast<char>(entry >> 8 & 0xFF);
        *to++ = static_cast<char>(entry & 0xFF);
        from += length;
    }
    out.resize(static_cast<std::size_t>(to - out.data()));
    return true;
}

} // namespace runtime
