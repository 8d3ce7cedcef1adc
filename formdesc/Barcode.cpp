#include "formdesc/Barcode.h"

#include <array>
#include <cstring>

namespace formdesc {

namespace {

// Indexed by BarcodeType; entry 0 stands for no valid type.
constexpr std::array<std::string_view, kBarcodeTypeCount + 1> kTypeNames = {
    "", "JAN13", "JAN8", "CODE39", "NW7", "ITF", "CODE128", "GS1128", "JPPOST", "QR", "DATAMATRIX", "PDF417",
};

constexpr std::array<std::string_view, 5> kEccNames = {"", "L", "M", "Q", "H"};

unsigned char byteAt(const FigureInfo& figure, std::size_t offset) {
    return static_cast<unsigned char>(figure.reserved[offset]);
}

} // namespace

BarcodeAttributes barcodeOf(const FigureInfo& figure) {
    BarcodeAttributes barcode;
    barcode.type = byteAt(figure, BarcodeLayout::kType);
    barcode.hri = byteAt(figure, BarcodeLayout::kHri) != 0;
    barcode.ecc = byteAt(figure, BarcodeLayout::kEcc);
    barcode.fromField = byteAt(figure, BarcodeLayout::kFromField) != 0;
    // Bounded by the area: a record from outside may lack its NUL.
    const char* text = figure.reserved + BarcodeLayout::kText;
    const void* end = std::memchr(text, '\0', BarcodeLayout::kTextBytes);
    const std::size_t length =
        end ? static_cast<std::size_t>(static_cast<const char*>(end) - text) : BarcodeLayout::kTextBytes;
    barcode.text.assign(text, length);
    return barcode;
}

bool storeBarcode(FigureInfo& figure, const BarcodeAttributes& barcode) {
    if (barcode.text.size() >= BarcodeLayout::kTextBytes || barcode.text.find('\0') != std::string::npos)
        return false;
    // The whole area is rewritten so that equal attributes give equal records.
    std::memset(figure.reserved, 0, sizeof figure.reserved);
    figure.reserved[BarcodeLayout::kType] = static_cast<char>(barcode.type & 0xFF);
    figure.reserved[BarcodeLayout::kHri] = barcode.hri ? 1 : 0;
    figure.reserved[BarcodeLayout::kEcc] = static_cast<char>(barcode.ecc & 0xFF);
    figure.reserved[BarcodeLayout::kFromField] = barcode.fromField ? 1 : 0;
    std::memcpy(figure.reserved + BarcodeLayout::kText, barcode.text.data(), barcode.text.size());
    return true;
}

std::string_view barcodeTypeName(int type) {
    if (type <= kBarcodeNone || type > kBarcodeTypeCount)
        return {};
    return kTypeNames[static_cast<std::size_t>(type)];
}

std::optional<int> barcodeTypeFromName(std::string_view name) {
    for (int type = 1; type <= kBarcodeTypeCount; ++type)
        if (kTypeNames[static_cast<std::size_t>(type)] == name)
            return type;
    return std::nullopt;
}

bool isTwoDimensional(int type) {
    return type == kBarcodeQr || type == kBarcodeDataMatrix || type == kBarcodePdf417;
}

std::string_view barcodeEccName(int ecc) {
    if (ecc < kEccDefault || ecc > kEccH)
        return {};
    return kEccNames[static_cast<std::size_t>(ecc)];
}

std::optional<int> barcodeEccFromName(std::string_view name) {
    for (int ecc = kEccL; ecc <= kEccH; ++ecc)
        if (kEccNames[static_cast<std::size_t>(ecc)] == name)
            return ecc;
    return std::nullopt;
}

} // namespace formdesc
