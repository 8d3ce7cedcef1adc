#include "platform/BmpImage.h"

#include <array>
#include <bit>
#include <cstdint>
#include <new>

namespace platform {

namespace {

constexpr std::uint32_t kBiRgb = 0;
constexpr std::uint32_t kBiBitfields = 3;
constexpr std::size_t kFileHeaderSize = 14;

std::uint16_t readU16(std::span<const unsigned char> b, std::size_t at) {
    return std::uint16_t(b[at] | b[at + 1] << 8);
}

std::uint32_t readU32(std::span<const unsigned char> b, std::size_t at) {
    return std::uint32_t(b[at]) | std::uint32_t(b[at + 1]) << 8 | std::uint32_t(b[at + 2]) << 16 |
           std::uint32_t(b[at + 3]) << 24;
}

// One colour channel of a bit-field pixel: where it sits and how wide it is.
struct Channel {
    std::uint32_t mask = 0;
    int shift = 0;
    int bits = 0;

    explicit Channel(std::uint32_t m) : mask(m) {
        if (mask != 0) {
            shift = std::countr_zero(mask);
            bits = std::min(std::popcount(mask), 32 - shift);
        }
    }

    // The channel scaled to 0..255.
    int value(std::uint32_t pixel) const {
        if (bits == 0)
            return 0;
        const std::uint64_t raw = (pixel & mask) >> shift;
        const std::uint64_t max = (std::uint64_t(1) << bits) - 1;
        return int((std::min(raw, max) * 255 + max / 2) / max);
    }
};

struct Header {
    std::uint32_t dataOffset = 0;
    std::uint32_t headerSize = 0;
    long long width = 0;
    long long height = 0; // negative: top-down
    int bitCount = 0;
    std::uint32_t compression = kBiRgb;
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 3> masks{}; // red, green, blue
};

std::optional<Header> readHeader(std::span<const unsigned char> bytes) {
    if (bytes.size() < kFileHeaderSize + 12 || bytes[0] != 'B' || bytes[1] != 'M')
        return std::nullopt;
    Header h;
    h.dataOffset = readU32(bytes, 10);
    h.headerSize = readU32(bytes, 14);
    switch (h.headerSize) {
    case 12:
    case 40:
    case 52:
    case 56:
    case 108:
    case 124:
        break;
    default:
        return std::nullopt;
    }
    if (bytes.size() < kFileHeaderSize + h.headerSize)
        return std::nullopt;
    const std::size_t info = kFileHeaderSize;
    if (h.headerSize == 12) {
        h.width = readU16(bytes, info + 4);
        h.height = readU16(bytes, info + 6);
        h.bitCount = readU16(bytes, info + 10);
        return h;
    }
    h.width = std::int32_t(readU32(bytes, info + 4));
    h.height = std::int32_t(readU32(bytes, info + 8));
    h.bitCount = readU16(bytes, info + 14);
    h.compression = readU32(bytes, info + 16);
    h.colorsUsed = readU32(bytes, info + 32);
    if (h.compression == kBiBitfields) {
        // Masks follow a 40-byte header; the later headers hold them.
        const std::size_t at = info + 40;
        if (bytes.size() < at + 12)
            return std::nullopt;
        h.masks = {readU32(bytes, at), readU32(bytes, at + 4), readU32(bytes, at + 8)};
    } else if (h.bitCount == 16) {
        h.masks = {0x7C00, 0x03E0, 0x001F};
    } else {
        h.masks = {0x00FF0000, 0x0000FF00, 0x000000FF};
    }
    return h;
}

bool supported(const Header& h) {
    switch (h.bitCount) {
    case 1:
    case 4:
    case 8:
    case 24:
        return h.compression == kBiRgb;
    case 16:
    case 32:
        return h.compression == kBiRgb || (h.compression == kBiBitfields && h.headerSize != 12);
    default:
        return false;
    }
}

// The palette as Qt colours; its entries must be in the file.
std::optional<QList<QRgb>> readPalette(std::span<const unsigned char> bytes, const Header& h) {
    const std::size_t maxColors = std::size_t(1) << h.bitCount;
    const std::size_t count = h.colorsUsed == 0 ? maxColors : std::min<std::size_t>(h.colorsUsed, maxColors);
    const std::size_t entrySize = h.headerSize == 12 ? 3 : 4;
    std::size_t start = kFileHeaderSize + h.headerSize;
    if (h.headerSize == 40 && h.compression == kBiBitfields)
        start += 12;
    if (start + count * entrySize > bytes.size())
        return std::nullopt;
    QList<QRgb> palette;
    palette.reserve(qsizetype(maxColors));
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t at = start + i * entrySize;
        palette.append(qRgb(bytes[at + 2], bytes[at + 1], bytes[at]));
    }
    // Indexes beyond the palette draw black rather than reading past it.
    while (std::size_t(palette.size()) < maxColors)
        palette.append(qRgb(0, 0, 0));
    return palette;
}

} // namespace

std::optional<QImage> decodeBmp(std::span<const unsigned char> bytes) {
    const std::optional<Header> header = readHeader(bytes);
    if (!header || !supported(*header))
        return std::nullopt;
    const Header& h = *header;
    const bool topDown = h.height < 0;
    const long long width = h.width;
    const long long height = topDown ? -h.height : h.height;
    if (width <= 0 || height <= 0 || width > kBmpMaxSide || height > kBmpMaxSide ||
        width * height > kBmpMaxPixels)
        return std::nullopt;

    // Rows are padded to four bytes; all of them must be in the file.
    const std::uint64_t stride = (std::uint64_t(width) * std::uint64_t(h.bitCount) + 31) / 32 * 4;
    const std::uint64_t dataSize = stride * std::uint64_t(height);
    if (h.dataOffset < kFileHeaderSize + h.headerSize || h.dataOffset > bytes.size() ||
        dataSize > bytes.size() - h.dataOffset)
        return std::nullopt;

    QImage image;
    if (h.bitCount <= 8) {
        const std::optional<QList<QRgb>> palette = readPalette(bytes, h);
        if (!palette)
            return std::nullopt;
        image = QImage(int(width), int(height), QImage::Format_Indexed8);
        if (image.isNull())
            throw std::bad_alloc();
        image.setColorTable(*palette);
    } else {
        image = QImage(int(width), int(height), QImage::Format_RGB32);
        if (image.isNull())
            throw std::bad_alloc();
    }

    const Channel red(h.masks[0]), green(h.masks[1]), blue(h.masks[2]);
    for (long long y = 0; y < height; ++y) {
        const unsigned char* row = bytes.data() + h.dataOffset + std::size_t(y) * stride;
        const int destY = int(topDown ? y : height - 1 - y);
        uchar* out = image.scanLine(destY);
        switch (h.bitCount) {
        case 1:
            for (long long x = 0; x < width; ++x)
                out[x] = (row[x >> 3] >> (7 - (x & 7))) & 1;
            break;
        case 4:
            for (long long x = 0; x < width; ++x)
                out[x] = (x & 1) ? row[x >> 1] & 0x0F : row[x >> 1] >> 4;
            break;
        case 8:
            std::copy(row, row + width, out);
            break;
        case 24: {
            auto* pixels = reinterpret_cast<QRgb*>(out);
            for (long long x = 0; x < width; ++x)
                pixels[x] = qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
            break;
        }
        case 16:
        case 32: {
            auto* pixels = reinterpret_cast<QRgb*>(out);
            for (long long x = 0; x < width; ++x) {
                const std::uint32_t pixel = h.bitCount == 16 ? readU16({row, std::size_t(stride)}, 2 * x)
                                                             : readU32({row, std::size_t(stride)}, 4 * x);
                pixels[x] = qRgb(red.value(pixel), green.value(pixel), blue.value(pixel));
            }
            break;
        }
        }
    }
    return image;
}

} // namespace platform
