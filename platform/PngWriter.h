#pragma once

#include <QImage>

class QIODevice;

// Writes page images as PNG quickly: 8-bit RGB, the "Sub" filter on every row
// and the fastest deflate level. Pages are mostly blank paper, which this
// compresses well at a fraction of the default encoder's time.
namespace platform {

bool writeFastPng(const QImage& image, QIODevice& device);

} // namespace platform
