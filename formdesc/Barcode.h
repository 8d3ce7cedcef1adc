#pragma once

#include "formdesc/FormModel.h"

#include <optional>
#include <string>
#include <string_view>

// Barcodes are figures of their own kind (kKindBarcode) that occupy a cell
// rectangle like a rectangle or a bitmap. They keep the figure record: the
// colour is lineColor (LCOLOR), and the rest lives in the record's reserved
// bytes, so forms without barcodes and the clipboard block stay as they are.
namespace formdesc {

constexpr int kKindBarcode = 25;

// The symbologies, by their form-file names (TYPE=...). 0 is no valid type.
enum BarcodeType {
    kBarcodeNone = 0,
    kBarcodeJan13 = 1,  // JAN13: EAN-13
    kBarcodeJan8 = 2,   // JAN8: EAN-8
    kBarcodeCode39 = 3, // CODE39
    kBarcodeNw7 = 4,    // NW7: Codabar
    kBarcodeItf = 5,    // ITF: interleaved 2 of 5
    kBarcodeCode128 = 6,
    kBarcodeGs1128 = 7,
    kBarcodeJpPost = 8, // JPPOST: the Japanese postal customer barcode
    kBarcodeQr = 9,
    kBarcodeDataMatrix = 10,
    kBarcodePdf417 = 11,
};
constexpr int kBarcodeTypeCount = 11;

// QR error correction (ECC=L|M|Q|H); 0 leaves libzint's default.
enum BarcodeEcc { kEccDefault = 0, kEccL = 1, kEccM = 2, kEccQ = 3, kEccH = 4 };

// Where the bytes of the reserved area hold a barcode's attributes.
struct BarcodeLayout {
    static constexpr std::size_t kType = 0;      // one byte: BarcodeType
    static constexpr std::size_t kHri = 1;       // one byte: 1 prints the text under a linear code
    static constexpr std::size_t kEcc = 2;       // one byte: BarcodeEcc
    static constexpr std::size_t kFromField = 3; // one byte: 1 when text names a field's tag
    static constexpr std::size_t kText = 4;      // NUL-terminated Shift-JIS: the constant or the tag
    static constexpr std::size_t kTextBytes = sizeof FigureInfo::reserved - kText;
};

// What the reader leaves in the attribute bytes for a value it could not
// take, so that the check pass can name it: TYPE, ECC or HRI given with an
// unknown value, and the content's key (kFromField) when neither or both of
// CONST and FIELD are given or the one given is not a quoted text.
constexpr int kBarcodeBadValue = 0xFF;
enum BarcodeContentError {
    kContentMissing = 0xF0,
    kContentBoth = 0xF1,
    kContentBadConst = 0xF2,
    kContentBadField = 0xF3,
};

// A barcode's attributes as plain values.
struct BarcodeAttributes {
    int type = kBarcodeNone;
    bool hri = false;
    int ecc = kEccDefault;
    bool fromField = false;
    std::string text; // Shift-JIS: the constant (CONST) or the field's tag (FIELD)

    bool operator==(const BarcodeAttributes&) const = default;
};

BarcodeAttributes barcodeOf(const FigureInfo& figure);
// Stores barcode into the record (kind, colour and cells untouched); false when
// the text does not fit its bytes.
bool storeBarcode(FigureInfo& figure, const BarcodeAttributes& barcode);

// TYPE names as the form file writes them ("JAN13", "QR", ...), and back
// (upper case, as the reader has it); nothing for an unknown name.
std::string_view barcodeTypeName(int type);
std::optional<int> barcodeTypeFromName(std::string_view name);
bool isTwoDimensional(int type);
// "L", "M", "Q", "H" or "" for the default.
std::string_view barcodeEccName(int ecc);
std::optional<int> barcodeEccFromName(std::string_view name);

} // namespace formdesc
