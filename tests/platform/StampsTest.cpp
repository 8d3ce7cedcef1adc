#include "platform/Stamps.h"
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

void fillWithNoise(QImage& image, unsigned seed) {
    std::mt19937 noise(seed);
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            image.setPixel(x, y, 0xff000000u | (noise() & 0xffffffu));
}

// Rows of characters in cells of one width over a background of many
// colours, with a clip, drawn by the painter or written by stamps.
QImage drawRows(const TextCase& c, Stamps* stamps, long long& runs) {
    platformtest::ensureApplication();
    QImage image(420, 260, QImage::Format_RGB32);
    fillWithNoise(image, 7);
    const QRect clip(13, 9, 390, 230);
    QPainter painter(&image);
    painter.setClipRect(clip);
    QtPainterBackend backend(painter, 96, 96);
    if (stamps) {
        EXPECT_TRUE(backend.stampWith(*stamps));
        backend.setStampClip(clip);
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

class StampedText : public ::testing::TestWithParam<TextCase> {};

// Written by stamps, characters have the painter's pixels to the last bit:
// small and large glyphs (these drawn as outlines), stretched or not, in
// cells that hold them or cut them, over any colour, inside the clip.
TEST_P(StampedText, HasThePaintersPixels) {
    const TextCase c = GetParam();
    Stamps stamps(96);
    long long painterRuns = 0;
    long long maskRuns = 0;
    const QImage painted = drawRows(c, nullptr, painterRuns);
    const QImage written = drawRows(c, &stamps, maskRuns);
    int differing = 0;
    for (int y = 0; y < painted.height(); ++y)
        for (int x = 0; x < painted.width(); ++x)
            differing += painted.pixel(x, y) != written.pixel(x, y);
    EXPECT_EQ(differing, 0);
    // Twice over: the second time from the stamps kept.
    long long again = 0;
    EXPECT_TRUE(drawRows(c, &stamps, again) == painted);
    // Glyphs past the painter's glyph cache are left to the painter.
    EXPECT_GT(painterRuns, 0);
    if (c.height <= 40)
        EXPECT_EQ(maskRuns, 0) << "the painter drew glyphs that stamps should have written";
    else
        EXPECT_GT(maskRuns, 0);
}

INSTANTIATE_TEST_SUITE_P(
    Glyphs, StampedText,
    ::testing::Values(TextCase{"ＭＳ ゴシック", 13, 0, 7}, TextCase{"ＭＳ 明朝", 16, 0, 6},
                      TextCase{"ＭＳ ゴシック", 24, 24, 26}, TextCase{"ＭＳ 明朝", 20, 9, 10},
                      TextCase{"ＭＳ ゴシック", 90, 0, 40}, TextCase{"ＭＳ 明朝", 80, 80, 70}));

// Straight lines of every pen, width and direction, stamped, have the
// painter's pixels, inside a clip too; slanted lines and lines the image's
// edge would cut are left to the painter.
TEST(Stamps, LinesHaveThePaintersPixels) {
    platformtest::ensureApplication();
    const PenStyle styles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot,
                               PenStyle::DashDotDot};
    const QPoint deltas[] = {{1, 0}, {7, 0}, {-40, 0}, {233, 0}, {0, 2}, {0, -17}, {0, 150}, {0, 0}};
    Stamps stamps(96);
    std::mt19937 random(5);
    for (const PenStyle style : styles) {
        for (const int width : {1, 2, 3, 4, 5, 8, 13}) {
            QImage painted(420, 320, QImage::Format_RGB32);
            fillWithNoise(painted, random());
            QImage stamped = painted.copy();
            QImage clipped = painted.copy();
            const QRect clip(40, 30, 200, 170);
            for (const QPoint delta : deltas) {
                const Point from{60 + int(random() % 40), 60 + int(random() % 40)};
                const Point to{from.x + delta.x(), from.y + delta.y()};
                const DevicePen pen{style, width, ColorRef(random() & 0xffffffu)};
                {
                    QPainter painter(&painted);
                    QtPainterBackend(painter, 96, 96).drawLine(from, to, pen);
                }
                EXPECT_TRUE(stamps.drawLine(stamped, stamped.rect(), from, to, pen))
                    << width << " " << delta.x();
                stamps.drawLine(clipped, clip, from, to, pen);
            }
            EXPECT_TRUE(stamped == painted) << "style " << int(style) << ", width " << width;
            EXPECT_TRUE(clipped.copy(clip) == painted.copy(clip))
                << "style " << int(style) << ", width " << width;
        }
    }
    QImage image(100, 100, QImage::Format_RGB32);
    const DevicePen pen{PenStyle::Solid, 3, 0};
    EXPECT_FALSE(stamps.drawLine(image, image.rect(), {10, 10}, {50, 60}, pen)) << "slanted";
    EXPECT_FALSE(stamps.drawLine(image, image.rect(), {10, 0}, {50, 0}, pen)) << "cut by the top edge";
    EXPECT_FALSE(stamps.drawLine(image, image.rect(), {90, 50}, {120, 50}, pen)) << "cut by the right edge";
}

TEST(Stamps, WritesOnlyIntoOpaqueThirtyTwoBitImages) {
    platformtest::ensureApplication();
    Stamps stamps(96);
    for (const QImage::Format format : {QImage::Format_ARGB32_Premultiplied, QImage::Format_Grayscale8}) {
        QImage image(40, 40, format);
        QPainter painter(&image);
        QtPainterBackend backend(painter, 96, 96);
        EXPECT_FALSE(backend.stampWith(stamps)) << format;
    }
    QImage image(40, 40, QImage::Format_RGB32);
    QPainter painter(&image);
    QtPainterBackend other(painter, 144, 144);
    EXPECT_FALSE(other.stampWith(stamps)) << "stamps of another resolution";
}

} // namespace
