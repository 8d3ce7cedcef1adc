#include "platform/BmpImage.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

namespace {

using Bytes = std::vector<unsigned char>;

void put16(Bytes& b, std::size_t at, std::uint32_t v) {
    b[at] = v & 0xFF;
    b[at + 1] = (v >> 8) & 0xFF;
}
void put32(Bytes& b, std::size_t at, std::uint32_t v) {
    for (int i = 0; i < 4; ++i)
        b[at + i] = (v >> (8 * i)) & 0xFF;
}

// Describes a BMP file to write. value(x, y) is a palette index for 1 to 8
// bits and a 0xRRGGBB colour otherwise; y counts from the top row.
struct BmpLayout {
    int width = 3;
    int height = 2;
    int bits = 24;
    int headerSize = 40;
    std::uint32_t compression = 0;
    bool topDown = false;
    std::vector<std::uint32_t> palette; // 0xRRGGBB
    std::uint32_t colorsUsed = 0;
    std::array<std::uint32_t, 3> masks{};
};

// Pixel values of the test images: distinct per position.
std::uint32_t valueAt(const BmpLayout& s, int x, int y) {
    if (s.bits <= 8)
        return std::uint32_t(x + 2 * y) % (1u << s.bits);
    return std::uint32_t(0x102030 * (x + 1) + 0x0F0000 * y) & 0xFFFFFF;
}

Bytes writeBmp(const BmpLayout& s) {
    const bool core = s.headerSize == 12;
    const std::size_t entry = core ? 3 : 4;
    const bool extraMasks = s.compression == 3 && s.headerSize == 40;
    const std::size_t paletteAt = 14 + s.headerSize + (extraMasks ? 12 : 0);
    const std::size_t dataAt = paletteAt + s.palette.size() * entry;
    const std::size_t stride = (std::size_t(s.width) * s.bits + 31) / 32 * 4;
    Bytes b(dataAt + stride * s.height, 0);
    b[0] = 'B';
    b[1] = 'M';
    put32(b, 2, std::uint32_t(b.size()));
    put32(b, 10, std::uint32_t(dataAt));
    put32(b, 14, s.headerSize);
    if (core) {
        put16(b, 18, s.width);
        put16(b, 20, s.height);
        put16(b, 22, 1);
        put16(b, 24, s.bits);
    } else {
        put32(b, 18, s.width);
        put32(b, 22, s.topDown ? -s.height : s.height);
        put16(b, 26, 1);
        put16(b, 28, s.bits);
        put32(b, 30, s.compression);
        put32(b, 46, s.colorsUsed);
        if (s.compression == 3)
            for (int i = 0; i < 3; ++i)
                put32(b, 54 + 4 * i, s.masks[i]);
    }
    for (std::size_t i = 0; i < s.palette.size(); ++i) {
        b[paletteAt + i * entry] = s.palette[i] & 0xFF;
        b[paletteAt + i * entry + 1] = (s.palette[i] >> 8) & 0xFF;
        b[paletteAt + i * entry + 2] = (s.palette[i] >> 16) & 0xFF;
    }
    for (int y = 0; y < s.height; ++y) {
        const int fileRow = s.topDown ? y : s.height - 1 - y;
        const std::size_t row = dataAt + std::size_t(fileRow) * stride;
        for (int x = 0; x < s.width; ++x) {
            const std::uint32_t v = valueAt(s, x, y);
            const std::uint32_t r = v >> 16, g = (v >> 8) & 0xFF, bl = v & 0xFF;
            switch (s.bits) {
            case 1:
                b[row + x / 8] |= v << (7 - x % 8);
                break;
            case 4:
                b[row + x / 2] |= x % 2 ? v : v << 4;
                break;
            case 8:
                b[row + x] = v;
                break;
            case 16:
                if (s.compression == 3) // 5-6-5
                    put16(b, row + 2 * x, (r >> 3) << 11 | (g >> 2) << 5 | bl >> 3);
                else
                    put16(b, row + 2 * x, (r >> 3) << 10 | (g >> 3) << 5 | bl >> 3);
                break;
            case 24:
                b[row + 3 * x] = bl;
                b[row + 3 * x + 1] = g;
                b[row + 3 * x + 2] = r;
                break;
            case 32:
                if (s.compression == 3) // R in the low byte
                    put32(b, row + 4 * x, r | g << 8 | bl << 16);
                else
                    put32(b, row + 4 * x, v);
                break;
            }
        }
    }
    return b;
}

std::vector<std::uint32_t> greyPalette(int count) {
    std::vector<std::uint32_t> p;
    for (int i = 0; i < count; ++i) {
        const std::uint32_t g = std::uint32_t(i * 255 / std::max(1, count - 1));
        p.push_back(g << 16 | (255 - g) << 8 | (i * 37 & 0xFF));
    }
    return p;
}

// The colour the decoder should give for a pixel of the layout.
QRgb expectedColor(const BmpLayout& s, int x, int y) {
    const std::uint32_t v = valueAt(s, x, y);
    if (s.bits <= 8) {
        const std::uint32_t c = s.palette.at(v);
        return qRgb(c >> 16, (c >> 8) & 0xFF, c & 0xFF);
    }
    int r = v >> 16, g = (v >> 8) & 0xFF, b = v & 0xFF;
    if (s.bits == 16) { // the file keeps 5 or 6 bits; they come back scaled to 0..255
        const auto keep = [](int value, int bits) {
            const int max = (1 << bits) - 1;
            return ((value >> (8 - bits)) * 255 + max / 2) / max;
        };
        r = keep(r, 5);
        g = keep(g, s.compression == 3 ? 6 : 5);
        b = keep(b, 5);
    }
    return qRgb(r, g, b);
}

struct GoodCase {
    const char* name;
    BmpLayout layout;
};

void PrintTo(const GoodCase& c, std::ostream* os) {
    *os << c.name;
}

class BmpGood : public ::testing::TestWithParam<GoodCase> {};

TEST_P(BmpGood, DecodesEveryPixelInPlace) {
    const BmpLayout& layout = GetParam().layout;
    const Bytes file = writeBmp(layout);
    const std::optional<QImage> image = platform::decodeBmp(file);
    ASSERT_TRUE(image.has_value());
    ASSERT_EQ(image->width(), layout.width);
    ASSERT_EQ(image->height(), layout.height);
    for (int y = 0; y < layout.height; ++y)
        for (int x = 0; x < layout.width; ++x)
            EXPECT_EQ(image->pixel(x, y) | 0xFF000000u, expectedColor(layout, x, y))
                << "at " << x << "," << y;
}

BmpLayout with(std::function<void(BmpLayout&)> change) {
    BmpLayout s;
    change(s);
    return s;
}

INSTANTIATE_TEST_SUITE_P(Files, BmpGood,
                         ::testing::Values(GoodCase{"bits1", with([](BmpLayout& s) {
                                                        s.bits = 1;
                                                        s.width = 11;
                                                        s.palette = {0x000000, 0xFFFFFF};
                                                    })},
                                           GoodCase{"bits4", with([](BmpLayout& s) {
                                                        s.bits = 4;
                                                        s.width = 5;
                                                        s.height = 3;
                                                        s.palette = greyPalette(16);
                                                    })},
                                           GoodCase{"bits8", with([](BmpLayout& s) {
                                                        s.bits = 8;
                                                        s.width = 7;
                                                        s.palette = greyPalette(256);
                                                    })},
                                           GoodCase{"bits8ShortPalette", with([](BmpLayout& s) {
                                                        s.bits = 8;
                                                        s.palette = greyPalette(6);
                                                        s.colorsUsed = 6;
                                                    })},
                                           GoodCase{"bits24", with([](BmpLayout& s) {
                                                        s.bits = 24;
                                                        s.width = 5;
                                                        s.height = 3;
                                                    })},
                                           GoodCase{"bits24TopDown", with([](BmpLayout& s) {
                                                        s.bits = 24;
                                                        s.topDown = true;
                                                    })},
                                           GoodCase{"bits32", with([](BmpLayout& s) {
                                                        s.bits = 32;
                                                        s.width = 4;
                                                    })},
                                           GoodCase{"bits32Bitfields", with([](BmpLayout& s) {
                                                        s.bits = 32;
                                                        s.compression = 3;
                                                        s.masks = {0x0000FF, 0x00FF00, 0xFF0000};
                                                    })},
                                           GoodCase{"bits16", with([](BmpLayout& s) {
                                                        s.bits = 16;
                                                        s.width = 3;
                                                    })},
                                           GoodCase{"bits16Bitfields565", with([](BmpLayout& s) {
                                                        s.bits = 16;
                                                        s.compression = 3;
                                                        s.masks = {0xF800, 0x07E0, 0x001F};
                                                    })},
                                           GoodCase{"coreHeader8", with([](BmpLayout& s) {
                                                        s.headerSize = 12;
                                                        s.bits = 8;
                                                        s.palette = greyPalette(256);
                                                    })},
                                           GoodCase{"coreHeader24", with([](BmpLayout& s) {
                                                        s.headerSize = 12;
                                                        s.bits = 24;
                                                    })},
                                           GoodCase{"v4Header", with([](BmpLayout& s) {
                                                        s.headerSize = 108;
                                                        s.bits = 24;
                                                        s.topDown = true;
                                                    })},
                                           GoodCase{"v5Header4", with([](BmpLayout& s) {
                                                        s.headerSize = 124;
                                                        s.bits = 4;
                                                        s.palette = greyPalette(16);
                                                    })}),
                         [](const auto& info) { return std::string(info.param.name); });

struct BadCase {
    const char* name;
    std::function<Bytes()> make;
};

void PrintTo(const BadCase& c, std::ostream* os) {
    *os << c.name;
}

class BmpBad : public ::testing::TestWithParam<BadCase> {};

TEST_P(BmpBad, IsRefused) {
    const Bytes file = GetParam().make();
    EXPECT_FALSE(platform::decodeBmp(file).has_value());
}

Bytes good24() {
    return writeBmp(with([](BmpLayout& s) {
        s.width = 4;
        s.height = 4;
    }));
}
Bytes good8() {
    return writeBmp(with([](BmpLayout& s) {
        s.bits = 8;
        s.palette = greyPalette(256);
    }));
}
Bytes changed(Bytes b, std::size_t at, std::uint32_t value, bool wide = true) {
    if (wide)
        put32(b, at, value);
    else
        put16(b, at, value);
    return b;
}

INSTANTIATE_TEST_SUITE_P(
    Files, BmpBad,
    ::testing::Values(
        BadCase{"empty", [] { return Bytes{}; }},
        BadCase{"notBmp",
                [] {
                    Bytes b = good24();
                    b[0] = 'P';
                    return b;
                }},
        BadCase{"onlyFileHeader",
                [] {
                    Bytes b = good24();
                    b.resize(14);
                    return b;
                }},
        BadCase{"headerCutShort",
                [] {
                    Bytes b = good24();
                    b.resize(40);
                    return b;
                }},
        BadCase{"pixelsOneByteShort",
                [] {
                    Bytes b = good24();
                    b.pop_back();
                    return b;
                }},
        BadCase{"unknownHeaderSize", [] { return changed(good24(), 14, 64); }},
        BadCase{"offsetPastEnd", [] { return changed(good24(), 10, 0xFFFFFFF0); }},
        BadCase{"offsetInsideHeader", [] { return changed(good24(), 10, 20); }},
        BadCase{"zeroWidth", [] { return changed(good24(), 18, 0); }},
        BadCase{"negativeWidth", [] { return changed(good24(), 18, std::uint32_t(-4)); }},
        BadCase{"zeroHeight", [] { return changed(good24(), 22, 0); }},
        BadCase{"mostNegativeHeight", [] { return changed(good24(), 22, 0x80000000); }},
        BadCase{"hugeWidth", [] { return changed(good24(), 18, 20001); }},
        BadCase{"lyingSize", [] { return changed(good24(), 22, 5000); }},
        BadCase{"overflowingSize", [] { return changed(changed(good24(), 18, 0x7FFFFFFF), 22, 0x7FFFFFFF); }},
        BadCase{"tooManyPixels", [] { return changed(changed(good24(), 18, 20000), 22, 20000); }},
        BadCase{"twoBitsPerPixel", [] { return changed(good24(), 28, 2, false); }},
        BadCase{"zeroBitsPerPixel", [] { return changed(good24(), 28, 0, false); }},
        BadCase{"runLengthCompressed", [] { return changed(good8(), 30, 1); }},
        BadCase{"bitfieldsFor24Bits", [] { return changed(good24(), 30, 3); }},
        BadCase{"bitfieldMasksMissing",
                [] {
                    Bytes b = changed(changed(good24(), 28, 32, false), 30, 3);
                    b.resize(60);
                    return b;
                }},
        BadCase{"paletteBeyondFile",
                [] {
                    Bytes b = writeBmp(with([](BmpLayout& s) {
                        s.bits = 8;
                        s.width = 1;
                        s.height = 1;
                    }));
                    return changed(b, 10, 14 + 40); // no palette at all, 256 entries expected
                }}),
    [](const auto& info) { return std::string(info.param.name); });

} // namespace
