#include "platform/PngWriter.h"

#include <QBuffer>
#include <QImage>

#include <gtest/gtest.h>

namespace {

// What the fast writer produces must decode to the same pixels, whatever the
// colours and sizes (odd widths, one-pixel images, colours that wrap in the
// row filter).
TEST(PngWriter, DecodesToTheSamePixels) {
    const QSize sizes[] = {{1, 1}, {3, 7}, {257, 33}, {1240, 40}};
    for (const QSize& size : sizes) {
        QImage image(size, QImage::Format_RGB32);
        image.fill(Qt::white);
        for (int y = 0; y < size.height(); ++y)
            for (int x = 0; x < size.width(); x += 3)
                image.setPixel(x, y, qRgb((x * 37 + y) & 0xFF, (255 - x) & 0xFF, (x * y) & 0xFF));
        QBuffer buffer;
        buffer.open(QIODevice::WriteOnly);
        ASSERT_TRUE(platform::writeFastPng(image, buffer));
        QImage back;
        ASSERT_TRUE(back.loadFromData(buffer.data(), "PNG")) << size.width();
        EXPECT_EQ(back.convertToFormat(QImage::Format_RGB32), image) << size.width();
    }
}

TEST(PngWriter, FailsWhenTheDeviceRefusesOrTheImageIsEmpty) {
    QImage image(64, 64, QImage::Format_RGB32);
    image.fill(Qt::red);
    QBuffer readOnly;
    readOnly.open(QIODevice::ReadOnly);
    EXPECT_FALSE(platform::writeFastPng(image, readOnly));
    QBuffer writable;
    writable.open(QIODevice::WriteOnly);
    EXPECT_FALSE(platform::writeFastPng(QImage(), writable));
}

} // namespace
