#include "platform/PngWriter.h"

#include <QIODevice>

#include <array>
#include <vector>
#include <zlib.h>

namespace platform {

namespace {

void putBigEndian(unsigned char* out, quint32 value) {
    out[0] = static_cast<unsigned char>(value >> 24);
    out[1] = static_cast<unsigned char>(value >> 16);
    out[2] = static_cast<unsigned char>(value >> 8);
    out[3] = static_cast<unsigned char>(value);
}

bool writeChunk(QIODevice& device, const char type[4], const unsigned char* data, quint32 length) {
    unsigned char header[8];
    putBigEndian(header, length);
    std::copy(type, type + 4, header + 4);
    uLong crc = crc32(0L, header + 4, 4);
    if (length > 0)
        crc = crc32(crc, data, length);
    unsigned char trailer[4];
    putBigEndian(trailer, static_cast<quint32>(crc));
    return device.write(reinterpret_cast<const char*>(header), 8) == 8 &&
           (length == 0 || device.write(reinterpret_cast<const char*>(data), length) == qint64(length)) &&
           device.write(reinterpret_cast<const char*>(trailer), 4) == 4;
}

// Owns a deflate stream.
class Deflater {
  public:
    Deflater() { m_ok = deflateInit(&m_stream, Z_BEST_SPEED) == Z_OK; }
    ~Deflater() {
        if (m_ok)
            deflateEnd(&m_stream);
    }
    Deflater(const Deflater&) = delete;
    Deflater& operator=(const Deflater&) = delete;

    // Compresses input and writes every full output block as an IDAT chunk.
    bool feed(QIODevice& device, const unsigned char* input, std::size_t length, bool finish) {
        if (!m_ok)
            return false;
        m_stream.next_in = const_cast<unsigned char*>(input);
        m_stream.avail_in = static_cast<uInt>(length);
        for (;;) {
            m_stream.next_out = m_out.data();
            m_stream.avail_out = static_cast<uInt>(m_out.size());
            const int result = deflate(&m_stream, finish ? Z_FINISH : Z_NO_FLUSH);
            if (result == Z_STREAM_ERROR)
                return false;
            const auto produced = static_cast<quint32>(m_out.size() - m_stream.avail_out);
            if (produced > 0 && !writeChunk(device, "IDAT", m_out.data(), produced))
                return false;
            if (finish ? result == Z_STREAM_END : m_stream.avail_in == 0 && m_stream.avail_out != 0)
                return true;
        }
    }

  private:
    z_stream m_stream{};
    bool m_ok = false;
    std::array<unsigned char, 64 * 1024> m_out{};
};

} // namespace

bool writeFastPng(const QImage& source, QIODevice& device) {
    const QImage image =
        source.format() == QImage::Format_RGB32 ? source : source.convertToFormat(QImage::Format_RGB32);
    const int width = image.width();
    const int height = image.height();
    if (width <= 0 || height <= 0)
        return false;
    static const unsigned char kSignature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
    unsigned char header[13] = {};
    putBigEndian(header, static_cast<quint32>(width));
    putBigEndian(header + 4, static_cast<quint32>(height));
    header[8] = 8; // bits per sample
    header[9] = 2; // RGB
    if (device.write(reinterpret_cast<const char*>(kSignature), 8) != 8 ||
        !writeChunk(device, "IHDR", header, 13))
        return false;

    Deflater deflater;
    std::vector<unsigned char> row(1 + 3 * static_cast<std::size_t>(width));
    for (int y = 0; y < height; ++y) {
        const auto* pixels = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        // Filter "Sub": each byte minus the same byte of the pixel to its left.
        row[0] = 1;
        unsigned char left[3] = {0, 0, 0};
        unsigned char* out = row.data() + 1;
        for (int x = 0; x < width; ++x) {
            const unsigned char rgb[3] = {static_cast<unsigned char>(qRed(pixels[x])),
                                          static_cast<unsigned char>(qGreen(pixels[x])),
                                          static_cast<unsigned char>(qBlue(pixels[x]))};
            for (int c = 0; c < 3; ++c) {
                *out++ = static_cast<unsigned char>(rgb[c] - left[c]);
                left[c] = rgb[c];
            }
        }
        if (!deflater.feed(device, row.data(), row.size(), false))
            return false;
    }
    return deflater.feed(device, nullptr, 0, true) && writeChunk(device, "IEND", nullptr, 0);
}

} // namespace platform
