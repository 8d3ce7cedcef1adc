// Reads the 2D codes in PNG pages with zxing-cpp, a reader that shares no
// code with libzint, and prints one "FORMAT:text" line per symbol found
// (FORMAT as zxing names it: QRCode, DataMatrix, PDF417).
#define ZX_USE_UTF8 1
#include <ZXing/ReadBarcode.h>

#include <QImage>

#include <cstdio>
#include <set>
#include <string>

namespace {

void readInto(const QImage& image, const ZXing::DecodeHints& hints, std::set<std::string>& found) {
    const ZXing::ImageView view(image.constBits(), image.width(), image.height(), ZXing::ImageFormat::Lum,
                                static_cast<int>(image.bytesPerLine()));
    for (const ZXing::Result& result : ZXing::ReadBarcodes(view, hints))
        if (result.isValid())
            found.insert(std::string(ZXing::ToString(result.format())) + ":" + result.text());
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: zxing_decode PAGE.png...\n");
        return 2;
    }
    // Only the 2D codes: this zxing-cpp version trips an assertion when it
    // sorts out linear codes found on several scan lines of one page.
    ZXing::DecodeHints hints;
    hints.setTryHarder(true);
    hints.setFormats(ZXing::BarcodeFormat::QRCode | ZXing::BarcodeFormat::DataMatrix |
                     ZXing::BarcodeFormat::PDF417);
    // Its Data Matrix detector looks from the middle of the image out, and
    // misses a symbol off the middle of a page: it also gets tiles.
    ZXing::DecodeHints tileHints = hints;
    tileHints.setFormats(ZXing::BarcodeFormat::DataMatrix);
    constexpr int kTile = 800;
    for (int i = 1; i < argc; ++i) {
        const QImage page =
            QImage(QString::fromLocal8Bit(argv[i])).convertToFormat(QImage::Format_Grayscale8);
        if (page.isNull()) {
            std::fprintf(stderr, "zxing_decode: cannot read %s\n", argv[i]);
            return 1;
        }
        std::set<std::string> found;
        readInto(page, hints, found);
        for (int y = 0; y < page.height(); y += kTile / 2)
            for (int x = 0; x < page.width(); x += kTile / 2)
                readInto(page.copy(x, y, kTile, kTile), tileHints, found);
        for (const std::string& line : found)
            std::printf("%s\n", line.c_str());
    }
    return 0;
}
