#include "platform/GlyphMasks.h"
#include "platform/QtPainterBackend.h"
#include "tests/platform/TestApplication.h"

#include <QImage>
#include <QPainter>

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using namespace platform;
using platformtest::sjis;

struct TextCase {
    const char* face;
    int height;
    int width; // 0: the face's own width; else stretched
    int cellWidth;
};

void PrintTo(const TextCase& c, std::ostream* os) {
    *os << c.height << "/" << c.width << " in " << c.cellWidth;
}

// Rows of characters in cells of one width over a background of many
// colours, with a clip, drawn by the painter or written by masks.
QImage drawRows(const TextCase& c, GlyphMasks* masks, long long& runs) {
    platformtest::ensureApplication();
    QImage image(420, 260, QImage::Format_RGB32);
    std::mt19937 noise(7);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, 0xff000000u | (noise() & 0xffffffu));
    const QRect clip(13, 9, 390, 230);
    QPainter painter(&image);
    painter.setClipRect(clip);
    QtPainterBackend backend(painter, 96, 96);
    if (masks) {
        EXPECT_TRUE(backend.writeTextWith(*masks));
        backend.setTextClip(clip);
    }
    DeviceFont font;
    font.font.faceName = sjis(c.face);
    font.font.height = c.height;
    font.font.width = c.width;
    const char* text[] = {"合", "計", "A", "9", "ｱ", "x", "額", "■", "g", "ー"};
    std::mt19937 random(11);
    int index = 0;
    for (int top = 0; top < image.height(); top += c.height * 3 / 4) {
        for (int left = -c.cellWidth / 2; left < image.width(); left += c.cellWidth) {
            const std::string bytes = sjis(text[index++ % 10]);
            const ColorRef color = random() & 0xffffffu;
            // Cells as tall as the text and a row shorter: glyphs cut above and below.
            const int height = top % 2 ? c.height : c.height * 2 / 3;
            backend.drawChar(bytes, {left, top, left + c.cellWidth * int(bytes.size()), top + height}, font,
                             color);
        }
    }
    backend.flush();
    runs = backend.glyphRunsDrawn();
    return image;
}

class MaskedText : public ::testing::TestWithParam<TextCase> {};

// Written by masks, characters have the painter's pixels to the last bit:
// small and large glyphs (these drawn as outlines), stretched or not, in
// cells that hold them or cut them, over any colour, inside the clip.
TEST_P(MaskedText, HasThePaintersPixels) {
    const TextCase c = GetParam();
    GlyphMasks masks(96);
    long long painterRuns = 0;
    long long maskRuns = 0;
    const QImage painted = drawRows(c, nullptr, painterRuns);
    const QImage written = drawRows(c, &masks, maskRuns);
    int differing = 0;
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x)
            differing += painted.pixel(x, y) != written.pixel(x, y);
    EXPECT_EQ(differing, 0);
    // Twice over: the second time from the masks kept.
    long long again = 0;
    EXPECT_TRUE(drawRows(c, &masks, again) == painted);
    // Glyphs past the painter's glyph cache are left to the painter.
    EXPECT_GT(painterRuns, 0);
    if (c.height <= 40)
        EXPECT_EQ(maskRuns, 0) << "the painter drew glyphs that masks should have written";
    else
        EXPECT_GT(maskRuns, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, MaskedText,
    ::testing::Values(TextCase{"ＭＳ ゴシック", 13, 0, 7}, TextCase{"ＭＳ 明朝", 16, 0, 6},
                      TextCase{"ＭＳ ゴシック", 24, 24, 26}, TextCase{"ＭＳ 明朝", 20, 9, 10},
                      TextCase{"ＭＳ ゴシック", 90, 0, 40}, TextCase{"ＭＳ 明朝", 80, 80, 70}));

TEST(GlyphMasks, WritesOnlyIntoOpaqueThirtyTwoBitImages) {
    platformtest::ensureApplication();
    GlyphMasks masks(96);
    for (const QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_Grayscale8}) {
        QImage image(40, 40, format);
        QPainter painter(&image);
        QtPainterBackend backend(painter, 96, 96);
        EXPECT_FALSE(backend.writeTextWith(masks)) << format;
    }
    QImage image(40, 40, QImage::Format_RGB32);
    QPainter painter(&image);
    QtPainterBackend other(painter, 144, 144);
    EXPECT_FALSE(other.writeTextWith(masks)) << "masks of another resolution";
}

} // namespace
