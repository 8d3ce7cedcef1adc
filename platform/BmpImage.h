#pragma once

#include <QImage>

#include <optional>
#include <span>

// Windows BMP files, decoded by our own code so that every size is checked
// against the bytes that are really there before anything is allocated.
namespace platform {

// Largest width or height accepted, and largest number of pixels.
inline constexpr int kBmpMaxSide = 20000;
inline constexpr long long kBmpMaxPixels = 64LL * 1024 * 1024;

// Decodes a BMP file: a 'BM' file header, an info header of 12, 40, 52, 56,
// 108 or 124 bytes, 1, 4, 8, 16, 24 or 32 bits per pixel, uncompressed
// (BI_RGB) or with bit-field masks for 16 and 32 bits, stored bottom-up or
// top-down. 1 to 8 bits give an indexed image with the file's palette,
// deeper files an RGB32 image. Anything else, anything cut short and anything
// whose sizes do not add up gives nothing. The sizes are checked first, so a
// null image from Qt can only mean that memory ran out: that throws
// std::bad_alloc, for the caller to tell apart from a damaged file.
std::optional<QImage> decodeBmp(std::span<const unsigned char> bytes);

} // namespace platform
