// BMP files named by forms come from anywhere: the decoder must refuse or
// decode any bytes without reading past them or allocating without bound.
#include "platform/BmpImage.h"

#include <cstddef>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::optional<QImage> image = platform::decodeBmp({data, size});
    if (!image)
        return 0;
    if (image->isNull() || image->width() <= 0 || image->height() <= 0 ||
        image->width() > platform::kBmpMaxSide || image->height() > platform::kBmpMaxSide)
        std::abort();
    // Read every pixel through the colour table, as drawing would.
    unsigned sum = 0;
    for (int y = 0; y < image->height(); ++y)
        for (int x = 0; x < image->width(); ++x)
            sum += image->pixel(x, y);
    volatile unsigned sink = sum;
    (void)sink;
    return 0;
}
