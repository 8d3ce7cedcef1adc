#include "render/BarcodeCache.h"

#include <zint.h>

#include <algorithm>
#include <cstring>
#include <memory>

#include "formdesc/Barcode.h"
#include "formdesc/ShiftJis.h"

namespace render {

namespace {

using namespace formdesc;

int symbology(int type) {
    switch (type) {
    case kBarcodeJan13:
    case kBarcodeJan8:
        return BARCODE_EANX;
    case kBarcodeCode39:
        return BARCODE_CODE39;
    case kBarcodeNw7:
        return BARCODE_CODABAR;
    case kBarcodeItf:
        return BARCODE_C25INTER;
    case kBarcodeCode128:
        return BARCODE_CODE128;
    case kBarcodeGs1128:
        return BARCODE_GS1_128;
    case kBarcodeJpPost:
        return BARCODE_JAPANPOST;
    case kBarcodeQr:
        return BARCODE_QRCODE;
    case kBarcodeDataMatrix:
        return BARCODE_DATAMATRIX;
    case kBarcodePdf417:
        return BARCODE_PDF417;
    default:
        return 0;
    }
}

bool allDigits(std::string_view s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// libzint reads EAN input by its length (five digits make an add-on, not a
// JAN8), so the lengths are checked here: the data digits, with or without
// the check digit.
std::string eanLengthError(int type, std::string_view content) {
    const std::size_t data = type == kBarcodeJan13 ? 12 : 7;
    if (allDigits(content) && (content.size() == data || content.size() == data + 1))
        return {};
    return type == kBarcodeJan13 ? "JAN13 は 12 桁か 13 桁の数字です" : "JAN8 は 7 桁か 8 桁の数字です";
}

bool isCodabarGuard(char c) {
    return (c >= 'A' && c <= 'D') || (c >= 'a' && c <= 'd');
}

struct SymbolDeleter {
    void operator()(zint_symbol* s) const { ZBarcode_Delete(s); }
};

} // namespace

BarcodeSymbol encodeBarcode(int type, int ecc, bool hri, std::string_view content) {
    BarcodeSymbol result;
    const int code = symbology(type);
    if (code == 0) {
        result.error = "バーコードの種類がありません";
        return result;
    }
    if (content.empty()) {
        result.error = "内容が空です";
        return result;
    }
    if (type == kBarcodeJan13 || type == kBarcodeJan8) {
        result.error = eanLengthError(type, content);
        if (!result.ok())
            return result;
    }
    std::string data(content);
    const std::unique_ptr<zint_symbol, SymbolDeleter> symbol(ZBarcode_Create());
    if (!symbol) {
        result.error = "メモリが足りません";
        return result;
    }
    symbol->symbology = code;
    symbol->scale = 0.5f; // one vector unit per module
    symbol->output_options |= BARCODE_QUIET_ZONES;
    symbol->show_hrt = hri && !isTwoDimensional(type) && type != kBarcodeJpPost ? 1 : 0;
    switch (type) {
    case kBarcodeNw7:
        // Start and stop characters are part of the content; A is the usual pair.
        if (!isCodabarGuard(data.front()))
            data = "A" + data + "A";
        break;
    case kBarcodeGs1128:
        symbol->input_mode = data.front() == '(' ? GS1_MODE | GS1PARENS_MODE : GS1_MODE;
        break;
    case kBarcodeQr:
        // Through UTF-8 so that libzint can use the QR kanji mode.
        data = sjis::toUtf8(data);
        symbol->input_mode = UNICODE_MODE;
        if (ecc >= kEccL && ecc <= kEccH)
            symbol->option_1 = ecc;
        break;
    case kBarcodeJan13:
    case kBarcodeJan8:
        // Given with its check digit, the content is checked against it;
        // plain EAN input of eight digits would become a padded EAN-13.
        if (data.size() == (type == kBarcodeJan13 ? 13u : 8u))
            symbol->symbology = BARCODE_EANX_CHK;
        break;
    case kBarcodeDataMatrix:
        symbol->option_3 = DM_SQUARE; // the box is drawn for a square symbol
        data = sjis::toUtf8(data);
        symbol->input_mode = UNICODE_MODE;
        break;
    case kBarcodePdf417:
        data = sjis::toUtf8(data);
        symbol->input_mode = UNICODE_MODE;
        break;
    default:
        break;
    }
    int rc = ZBarcode_Encode(symbol.get(), reinterpret_cast<const unsigned char*>(data.data()),
                             static_cast<int>(data.size()));
    if (rc < ZINT_ERROR)
        rc = ZBarcode_Buffer_Vector(symbol.get(), 0);
    if (rc >= ZINT_ERROR || !symbol->vector) {
        result.error = symbol->errtxt[0] ? symbol->errtxt : "符号化できません";
        return result;
    }
    const zint_vector& vector = *symbol->vector;
    result.width = vector.width;
    result.height = vector.height;
    for (const zint_vector_rect* r = vector.rectangles; r; r = r->next) {
        if (r->colour == -1 || r->colour == 7) // the foreground, or black
            result.bars.push_back({r->x, r->y, r->width, r->height});
    }
    for (const zint_vector_string* s = vector.strings; s; s = s->next)
        result.texts.push_back({s->x, s->y, s->fsize, s->halign,
                                std::string(reinterpret_cast<const char*>(s->text),
                                            static_cast<std::size_t>(std::max(s->length, 0)))});
    return result;
}

std::string_view sampleBarcodeContent(int type) {
    switch (type) {
    case kBarcodeJan13:
        return "4901234567894";
    case kBarcodeJan8:
        return "49123456";
    case kBarcodeCode39:
        return "SAMPLE";
    case kBarcodeNw7:
        return "A123456A";
    case kBarcodeItf:
        return "12345678";
    case kBarcodeCode128:
        return "Sample128";
    case kBarcodeGs1128:
        return "[01]04912345123459";
    case kBarcodeJpPost:
        return "1000001-1-1";
    default:
        return "SAMPLE";
    }
}

const BarcodeSymbol& BarcodeCache::symbol(int type, int ecc, bool hri, std::string_view content) {
    std::string key;
    key.reserve(content.size() + 3);
    key += static_cast<char>(type);
    key += static_cast<char>(ecc);
    key += hri ? '1' : '0';
    key += content;
    const auto found = m_symbols.find(key);
    if (found != m_symbols.end())
        return found->second;
    if (m_symbols.size() >= kMaxSymbols)
        m_symbols.clear();
    ++m_encodings;
    return m_symbols.emplace(std::move(key), encodeBarcode(type, ecc, hri, content)).first->second;
}

} // namespace render
