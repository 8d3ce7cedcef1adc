#include "formdesc/ShiftJis.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <iconv.h>

namespace formdesc::sjis {

std::size_t charLength(std::string_view text, std::size_t offset) {
    if (offset + 1 < text.size() && isLeadByte(static_cast<unsigned char>(text[offset])))
        return 2;
    return 1;
}

std::string_view trim(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && isSpace(static_cast<unsigned char>(text[begin])))
        ++begin;
    // Walk forward so that a trail byte is never taken for a blank.
    std::size_t end = begin;
    std::size_t lastNonSpace = begin;
    while (end < text.size()) {
        const std::size_t length = charLength(text, end);
        if (length == 2 || !isSpace(static_cast<unsigned char>(text[end])))
            lastNonSpace = end + length;
        end += length;
    }
    return text.substr(begin, lastNonSpace - begin);
}

void toUpper(std::string& text) {
    for (std::size_t i = 0; i < text.size();) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (charLength(text, i) == 2) {
            const auto trail = static_cast<unsigned char>(text[i + 1]);
            // Full-width a-z (0x8281-0x829A) become A-Z (0x8260-0x8279).
            if (byte == 0x82 && trail >= 0x81 && trail <= 0x9A)
                text[i + 1] = static_cast<char>(trail - 0x21);
            i += 2;
            continue;
        }
        if (byte >= 'a' && byte <= 'z')
            text[i] = static_cast<char>(byte - 'a' + 'A');
        ++i;
    }
}

std::string toUpperCopy(std::string_view text) {
    std::string copy(text);
    toUpper(copy);
    return copy;
}

std::string_view cutWhole(std::string_view text, std::size_t maxBytes) {
    if (text.size() <= maxBytes)
        return text;
    std::size_t end = 0;
    while (end < text.size()) {
        const std::size_t length = charLength(text, end);
        if (end + length > maxBytes)
            break;
        end += length;
    }
    return text.substr(0, end);
}

void storeWhole(char* dest, std::size_t capacity, std::string_view text) {
    if (capacity == 0)
        return;
    const std::string_view cut = cutWhole(text, capacity - 1);
    std::memset(dest, 0, capacity);
    std::memcpy(dest, cut.data(), cut.size());
}

void storeBytes(char* dest, std::size_t capacity, std::size_t maxBytes, std::string_view text) {
    if (capacity == 0)
        return;
    const std::size_t length = std::min({text.size(), maxBytes, capacity - 1});
    std::memset(dest, 0, capacity);
    std::memcpy(dest, text.data(), length);
}

std::vector<Word> splitWords(std::string_view text) {
    std::vector<Word> words;
    forEachWord(text, [&](std::size_t offset, std::size_t length) { words.push_back({offset, length}); });
    return words;
}

namespace {

// An iconv descriptor owned for one conversion.
class Converter {
  public:
    Converter(const char* to, const char* from) : m_cd(iconv_open(to, from)) {}
    ~Converter() {
        if (valid())
            iconv_close(m_cd);
    }
    Converter(const Converter&) = delete;
    Converter& operator=(const Converter&) = delete;
    bool valid() const { return m_cd != reinterpret_cast<iconv_t>(-1); }

    // Converts input; a sequence that does not convert is replaced and skipped
    // (skip bytes of input).
    std::string run(std::string_view input, std::string_view replacement, std::size_t skip) {
        std::string output;
        if (!valid())
            return output;
        output.reserve(input.size() * 2);
        char* in = const_cast<char*>(input.data());
        std::size_t inLeft = input.size();
        char buffer[1024];
        while (inLeft > 0) {
            char* out = buffer;
            std::size_t outLeft = sizeof buffer;
            const std::size_t result = iconv(m_cd, &in, &inLeft, &out, &outLeft);
            output.append(buffer, static_cast<std::size_t>(out - buffer));
            if (result == static_cast<std::size_t>(-1) && errno != E2BIG) {
                output.append(replacement);
                const std::size_t step = std::min(inLeft, skip == 0 ? utf8Length(in, inLeft) : skip);
                in += step;
                inLeft -= step;
                iconv(m_cd, nullptr, nullptr, nullptr, nullptr);
            }
        }
        return output;
    }

  private:
    static std::size_t utf8Length(const char* text, std::size_t available) {
        const auto lead = static_cast<unsigned char>(text[0]);
        std::size_t length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        return std::max<std::size_t>(1, std::min(length, available));
    }
    iconv_t m_cd;
};

} // namespace

std::string toUtf8(std::string_view sjisText) {
    Converter converter("UTF-8", "CP932");
    return converter.run(sjisText, "\xEF\xBF\xBD", 1);
}

std::string fromUtf8(std::string_view utf8Text) {
    Converter converter("CP932", "UTF-8");
    return converter.run(utf8Text, "?", 0);
}

} // namespace formdesc::sjis
