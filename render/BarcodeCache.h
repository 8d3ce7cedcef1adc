#pragma once

#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

// Barcode symbols encoded by libzint, kept as plain geometry: the dark
// rectangles and the human-readable strings, in module units (one unit is one
// module, the X dimension), quiet zones included. A job encodes each content
// once: a page full of the same codes, or the same code on every page, costs
// one encoding.
namespace render {

struct BarcodeSymbol {
    struct Bar {
        float x, y, width, height;
    };
    struct Text {
        float x, y;       // y is the baseline
        float size;       // the font height
        int align;        // 0 centred on x, 1 starting at x, 2 ending at x
        std::string text; // ASCII
    };
    float width = 0;  // the whole symbol with its quiet zones
    float height = 0; // including the text under it
    std::vector<Bar> bars;
    std::vector<Text> texts;
    std::string error; // libzint's reason when the content cannot be encoded (UTF-8)

    bool ok() const { return error.empty(); }
};

// Encodes content (Shift-JIS bytes) as a symbol of type (formdesc::BarcodeType)
// with QR level ecc; hri asks for the text under linear codes.
BarcodeSymbol encodeBarcode(int type, int ecc, bool hri, std::string_view content);

// A content that every type accepts, for drawing a barcode whose content
// comes from a field (the designer, the design sheet).
std::string_view sampleBarcodeContent(int type);

class BarcodeCache {
  public:
    const BarcodeSymbol& symbol(int type, int ecc, bool hri, std::string_view content);
    int encodings() const { return m_encodings; }

  private:
    // A job with a different code on every page would grow without end: past
    // this many symbols the cache starts again.
    static constexpr std::size_t kMaxSymbols = 4096;
    std::unordered_map<std::string, BarcodeSymbol> m_symbols;
    int m_encodings = 0;
};

} // namespace render
