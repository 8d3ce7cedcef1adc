#include "platform/PdfImageObject.h"

#include "platform/PdfDeflater.h"
#include "platform/PdfFileWriter.h"
#include "platform/PdfStreamWriter.h"

#include <QCryptographicHash>
#include <QImage>

namespace platform {

namespace {

// Images are written once, so they get the smaller output.
constexpr int kImageLevel = 6;

void pack(PdfDeflater& deflater, std::string& data, bool& packed) {
    std::string out;
    packed = deflater.compress(data, out);
    if (packed)
        data.swap(out);
}

} // namespace

PdfPreparedImage imagePixels(const QImage& image) {
    PdfPreparedImage prepared;
    const bool alpha = image.hasAlphaChannel();
    const QImage rgb = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (rgb.isNull())
        return prepared;
    const int width = rgb.width(), height = rgb.height();
    prepared.width = width;
    prepared.height = height;
    prepared.alpha = alpha;
    prepared.colors.reserve(std::size_t(width) * std::size_t(height) * 3);
    if (alpha)
        prepared.mask.reserve(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const char*>(rgb.constScanLine(y));
        if (!alpha) {
            prepared.colors.append(line, std::size_t(width) * 3);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            prepared.colors.append(line + 4 * x, 3);
            prepared.mask.push_back(line[4 * x + 3]);
        }
    }
    QCryptographicHash digest(QCryptographicHash::Sha256);
    const std::string shape = std::to_string(width) + 'x' + std::to_string(height) + (alpha ? 'a' : 'o');
    digest.addData(QByteArrayView(shape.data(), qsizetype(shape.size())));
    digest.addData(QByteArrayView(prepared.colors.data(), qsizetype(prepared.colors.size())));
    digest.addData(QByteArrayView(prepared.mask.data(), qsizetype(prepared.mask.size())));
    prepared.key = digest.result().toStdString();
    return prepared;
}

void packImage(PdfPreparedImage& image) {
    PdfDeflater deflater(kImageLevel);
    pack(deflater, image.colors, image.colorsPacked);
    if (image.alpha)
        pack(deflater, image.mask, image.maskPacked);
}

int writeImage(PdfFileWriter& file, const PdfPreparedImage& image) {
    PdfStreamWriter dict;
    const auto write = [&](int number, const std::string& data, bool packed, std::string_view colorSpace,
                           int maskObject) {
        dict.clear();
        dict.raw("/Type/XObject/Subtype/Image/Width ").num(image.width).raw("/Height ").num(image.height);
        dict.raw("/ColorSpace/").raw(colorSpace).raw("/BitsPerComponent 8/Interpolate true");
        if (maskObject > 0)
            dict.raw("/SMask ").num(maskObject).raw("0 R");
        if (packed)
            dict.raw("/Filter/FlateDecode");
        file.writeStream(number, dict.bytes(), data);
    };
    const int object = file.reserveObject();
    int maskObject = 0;
    if (image.alpha) {
        maskObject = file.reserveObject();
        write(maskObject, image.mask, image.maskPacked, "DeviceGray", 0);
    }
    write(object, image.colors, image.colorsPacked, "DeviceRGB", maskObject);
    return object;
}

} // namespace platform
