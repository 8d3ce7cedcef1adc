#include "runtime/data/Utf8DataConverter.h"

#include "runtime/data/DataEncoding.h"

#include <algorithm>
#include <cerrno>
#include <iconv.h>

namespace runtime {

namespace {

iconv_t descriptor(void* cd) {
    return static_cast<iconv_t>(cd);
}

} // namespace

Utf8DataConverter::Utf8DataConverter() : m_cd(iconv_open("CP932", "UTF-8")) {}

Utf8DataConverter::~Utf8DataConverter() {
    if (isValid())
        iconv_close(descriptor(m_cd));
}

bool Utf8DataConverter::isValid() const {
    return descriptor(m_cd) != reinterpret_cast<iconv_t>(-1);
}

void Utf8DataConverter::replace(std::string_view piece, std::size_t at, std::string& out, std::size_t& used) {
    if (m_replacements++ == 0) {
        const auto feeds = std::count(piece.begin(), piece.begin() + static_cast<std::ptrdiff_t>(at), '\n');
        m_firstLine = m_linesBefore + static_cast<std::uint64_t>(feeds) + 1;
    }
    out.append(kReplacement);
    const std::string_view rest = piece.substr(at);
    const std::size_t length = utf8CharLength(rest);
    used = at + (length != 0 ? length : utf8BadRunLength(rest));
    iconv(descriptor(m_cd), nullptr, nullptr, nullptr, nullptr);
}

std::size_t Utf8DataConverter::convert(std::string_view piece, bool last, std::string& out) {
    const std::size_t usable = last ? piece.size() : piece.size() - utf8CutTailLength(piece);
    piece = piece.substr(0, usable);
    std::size_t used = 0;
    while (used < piece.size()) {
        // Code page 932 never needs more bytes than UTF-8, save for the
        // two-byte replacement of a one-byte error.
        const std::size_t start = out.size();
        const std::size_t room = 2 * (piece.size() - used) + 2;
        out.resize(start + room);
        char* in = const_cast<char*>(piece.data() + used);
        std::size_t inLeft = piece.size() - used;
        char* outPtr = out.data() + start;
        std::size_t outLeft = room;
        const std::size_t result = isValid() ? iconv(descriptor(m_cd), &in, &inLeft, &outPtr, &outLeft)
                                             : static_cast<std::size_t>(-1);
        const int error = errno;
        out.resize(start + (room - outLeft));
        used = static_cast<std::size_t>(in - piece.data());
        if (result != static_cast<std::size_t>(-1) || (isValid() && error == E2BIG))
            continue;
        // EILSEQ: no such character in code page 932, or no UTF-8; EINVAL: a
        // character cut by the end of the input.
        replace(piece, used, out, used);
    }
    if (m_replacements == 0)
        m_linesBefore += static_cast<std::uint64_t>(std::count(piece.begin(), piece.end(), '\n'));
    return usable;
}

} // namespace runtime
