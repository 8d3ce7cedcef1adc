#include "platform/PdfDirectBackend.h"

#include "platform/PdfDeflater.h"
#include "platform/PdfEmbeddedFont.h"
#include "platform/PdfFileWriter.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// See beginPage.
constexpr double kBiasX = 0.02;
// Images are written once, so they get the smaller output.
constexpr int kImageLevel = 6;

double written(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return double(std::llround(value * scale)) / scale;
}

} // namespace

PdfDirectBackend::PdfDirectBackend(PdfFileWriter& file, int dpiX, int dpiY, double pageHeightPoints)
    : m_file(file), m_dpiX(std::max(1, dpiX)), m_dpiY(std::max(1, dpiY)), m_pageHeight(pageHeightPoints) {
    beginPage();
}

PdfDirectBackend::~PdfDirectBackend() = default;

void PdfDirectBackend::beginPage() {
    m_out.clear();
    m_text.reset();
    m_paths.reset();
    // Device pixels, y downwards from the top of the page, and a fiftieth of
    // a pixel to the right: readers place glyphs in quarter pixels rounding
    // down, and a whole-pixel position that the scale turns into a hair less
    // would put every stem a pixel left of where the Qt painter puts it.
    m_out.real(72.0 / m_dpiX, 8).raw("0 0 ").real(-72.0 / m_dpiY, 8).real(kBiasX * 72.0 / m_dpiX, 8);
    m_out.real(m_pageHeight, 4);
    m_out.raw("cm\n");
}

const std::string& PdfDirectBackend::pageContent() {
    flush();
    return m_out.bytes();
}

void PdfDirectBackend::flush() {
    endDrawing();
}

void PdfDirectBackend::endDrawing() {
    m_text.end();
    m_paths.end();
}

// ---------------------------------------------------------------- drawing

void PdfDirectBackend::drawLine(Point from, Point to, const DevicePen& pen) {
    m_text.end();
    m_paths.line(from, to, pen);
}

void PdfDirectBackend::fillRect(const Rect& rect, ColorRef color) {
    endDrawing();
    if (rect.right <= rect.left || rect.bottom <= rect.top)
        return;
    m_text.setFill(color);
    m_out.num(rect.left).num(rect.top).num(static_cast<long long>(rect.right) - rect.left);
    m_out.num(static_cast<long long>(rect.bottom) - rect.top).raw("re f\n");
}

void PdfDirectBackend::drawImage(const QImage& image, const Rect& dest) {
    endDrawing();
    if (image.isNull() || dest.right <= dest.left || dest.bottom <= dest.top)
        return;
    const int object = imageObject(image);
    if (object <= 0)
        return;
    // The image's unit square, top row first, onto the rectangle.
    m_out.raw("q ").num(static_cast<long long>(dest.right) - dest.left).raw("0 0 ");
    m_out.num(static_cast<long long>(dest.top) - dest.bottom).num(dest.left).num(dest.bottom);
    m_out.raw("cm /Im").num(object).raw("Do Q\n");
}

int PdfDirectBackend::imageObject(const QImage& image) {
    if (auto found = m_images.find(image.cacheKey()); found != m_images.end())
        return found->second;
    const bool alpha = image.hasAlphaChannel();
    const QImage rgb = image.convertToFormat(alpha ? QImage::Format_RGBA8888 : QImage::Format_RGB888);
    if (rgb.isNull())
        return 0;
    const int width = rgb.width(), height = rgb.height();
    std::string colors, mask;
    colors.reserve(std::size_t(width) * std::size_t(height) * 3);
    if (alpha)
        mask.reserve(std::size_t(width) * std::size_t(height));
    for (int y = 0; y < height; ++y) {
        const auto* line = reinterpret_cast<const char*>(rgb.constScanLine(y));
        if (!alpha) {
            colors.append(line, std::size_t(width) * 3);
            continue;
        }
        for (int x = 0; x < width; ++x) {
            colors.append(line + 4 * x, 3);
            mask.push_back(line[4 * x + 3]);
        }
    }
    PdfDeflater deflater(kImageLevel);
    std::string packed;
    PdfStreamWriter dict;
    const auto writeImage = [&](int number, std::string_view data, std::string_view colorSpace,
                                int maskObject) {
        const bool compressed = deflater.compress(data, packed);
        dict.clear();
        dict.raw("/Type/XObject/Subtype/Image/Width ").num(width).raw("/Height ").num(height);
        dict.raw("/ColorSpace/").raw(colorSpace).raw("/BitsPerComponent 8/Interpolate true");
        if (maskObject > 0)
            dict.raw("/SMask ").num(maskObject).raw("0 R");
        if (compressed)
            dict.raw("/Filter/FlateDecode");
        m_file.writeStream(number, dict.bytes(), compressed ? std::string_view(packed) : data);
    };
    const int object = m_file.reserveObject();
    int maskObject = 0;
    if (alpha) {
        maskObject = m_file.reserveObject();
        writeImage(maskObject, mask, "DeviceGray", 0);
    }
    writeImage(object, colors, "DeviceRGB", maskObject);
    m_images.emplace(image.cacheKey(), object);
    return object;
}

// ------------------------------------------------------------------- text

TextMetrics PdfDirectBackend::textMetrics(const DeviceFont& font) {
    const Font& loaded = m_glyphs.font(font.font);
    return {loaded.cell.height, loaded.cell.aveCharWidth};
}

// A face is drawn with only when it can be embedded; a glyph only when the
// embedded face has it. Every glyph drawn is recorded for the subset.
PdfDirectBackend::Glyphs::Hooks PdfDirectBackend::glyphHooks() {
    Glyphs::Hooks hooks;
    hooks.loaded = [this](Font& font) {
        font.extra.size = written(font.cell.em, 3);
        font.extra.scaleX = written(font.cell.scaleX * 100, 3) / 100;
        font.extra.face = embeddedFont(font.cell.raw);
    };
    hooks.usable = [this](Font& font, std::uint8_t source) {
        if (source == 1)
            return font.extra.face != nullptr;
        if (!font.extra.fallbackChecked) {
            font.extra.fallbackFace = embeddedFont(font.fallback);
            font.extra.fallbackChecked = true;
        }
        return font.extra.fallbackFace != nullptr;
    };
    hooks.found = [](Font& font, Glyph& glyph, char16_t ch) {
        PdfEmbeddedFont* face = glyph.source == 2 ? font.extra.fallbackFace : font.extra.face;
        if (glyph.index >= quint32(face->glyphCount())) {
            glyph.source = 0;
            return;
        }
        const auto index = std::uint16_t(glyph.index);
        glyph.width = std::uint16_t(std::clamp(face->advance(index), 0, 0xFFFF));
        face->use(index, ch);
    };
    return hooks;
}

PdfEmbeddedFont* PdfDirectBackend::embeddedFont(const QRawFont& face) {
    if (!face.isValid())
        return nullptr;
    const std::string identity = PdfEmbeddedFont::identity(face);
    if (auto found = m_faceByIdentity.find(identity); found != m_faceByIdentity.end())
        return found->second;
    auto embedded = std::make_unique<PdfEmbeddedFont>(face, "F" + std::to_string(m_faces.size() + 1));
    PdfEmbeddedFont* result = embedded->embeddable() ? embedded.get() : nullptr;
    m_faces.push_back(std::move(embedded));
    m_faceByIdentity.emplace(identity, result);
    return result;
}

void PdfDirectBackend::drawChar(std::string_view sjisChar, const Rect& cell, const DeviceFont& deviceFont,
                                ColorRef color) {
    if (sjisChar.empty() || sjisChar.front() == '\0')
        return;
    if (cell.right <= cell.left || cell.bottom <= cell.top)
        return;
    Font& font = m_glyphs.font(deviceFont.font);
    const Glyph& glyph = m_glyphs.glyph(font, sjisCharCode(sjisChar));
    if (glyph.source == 0)
        return;
    m_paths.end();

    const auto [baseline, clip] =
        placeInCell(cell, glyph.advance * font.cell.scaleX, font.cell.height, font.cell.ascent);
    if (clip) {
        m_text.end();
        const PdfTextWriter::State saved = m_text.state();
        m_out.raw("q ").num(cell.left).num(cell.top).num(cell.right - cell.left).num(cell.bottom - cell.top);
        m_out.raw("re W n\n");
        placeGlyph(font, glyph, cell.left, baseline, color);
        m_text.end();
        m_out.raw("Q\n");
        m_text.restore(saved);
        return;
    }
    placeGlyph(font, glyph, cell.left, baseline, color);
}

void PdfDirectBackend::placeGlyph(const Font& font, const Glyph& glyph, int x, int baseline, ColorRef color) {
    const PdfEmbeddedFont& face = glyph.source == 2 ? *font.extra.fallbackFace : *font.extra.face;
    m_text.add(face, font.extra.size, font.extra.scaleX, color, x, baseline, std::uint16_t(glyph.index),
               glyph.width);
    ++m_glyphsDrawn;
}

// -------------------------------------------------------------- resources

void PdfDirectBackend::writeResources(int resources, PdfDeflater& deflater) {
    PdfStreamWriter dict;
    dict.raw("<</ProcSet[/PDF/Text/ImageC]/Font<<");
    for (const auto& face : m_faces) {
        if (!face->embeddable() || !face->hasGlyphs())
            continue;
        const int number = m_file.reserveObject();
        face->write(m_file, deflater, number);
        dict.ch('/').raw(face->resourceName()).ch(' ').num(number).raw("0 R");
    }
    dict.raw(">>/XObject<<");
    for (const auto& [key, object] : m_images)
        dict.raw("/Im").num(object).num(object).raw("0 R");
    dict.raw(">>>>");
    m_file.writeObject(resources, dict.bytes());
}

} // namespace platform
