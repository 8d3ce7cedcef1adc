#include "platform/PdfDeflater.h"

#include <zlib.h>

#include <algorithm>
#include <climits>

namespace platform {

struct PdfDeflater::Stream {
    z_stream z{};
    bool ready = false;
};

PdfDeflater::PdfDeflater(int level) : m_stream(std::make_unique<Stream>()) {
    m_stream->ready = deflateInit(&m_stream->z, std::clamp(level, 1, 9)) == Z_OK;
}

PdfDeflater::~PdfDeflater() {
    if (m_stream->ready)
        deflateEnd(&m_stream->z);
}

bool PdfDeflater::compress(std::string_view input, std::string& out) {
    out.clear();
    if (!m_stream->ready || input.size() > UINT_MAX / 2)
        return false;
    z_stream& z = m_stream->z;
    if (deflateReset(&z) != Z_OK)
        return false;
    out.resize(deflateBound(&z, uLong(input.size())));
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(input.data()));
    z.avail_in = uInt(input.size());
    z.next_out = reinterpret_cast<Bytef*>(out.data());
    z.avail_out = uInt(out.size());
    // deflateBound leaves room for the whole input in one call.
    if (deflate(&z, Z_FINISH) != Z_STREAM_END) {
        out.clear();
        return false;
    }
    out.resize(z.total_out);
    return true;
}

} // namespace platform
