#include "platform/PdfDirectBackend.h"

#include "platform/PdfDeflater.h"
#include "platform/PdfEmbeddedFont.h"
#include "platform/PdfImageObject.h"
#include "platform/PdfSharedNames.h"

#include <QImage>

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

// See beginPage.
constexpr double kBiasX = 0.02;

double written(double value, int decimals) {
    const double scale = std::pow(10.0, decimals);
    return double(std::llround(value * scale)) / scale;
}

// The mark that stands for a name the document has not given yet.
std::string mark(char kind, std::size_t index) {
    return std::string("\x01") + kind + std::to_string(index) + '\x02';
}

} // namespace

PdfDirectBackend::PdfDirectBackend(const PdfSharedNames& names, int dpiX, int dpiY, double pageHeightPoints)
    : m_names(names), m_dpiX(std::max(1, dpiX)), m_dpiY(std::max(1, dpiY)), m_pageHeight(pageHeightPoints) {
    beginPage();
}

PdfDirectBackend::~PdfDirectBackend() = default;

void PdfDirectBackend::beginPage() {
    if (m_unnamed)
        resolveNames();
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

std::unique_ptr<PdfDrawnPage> PdfDirectBackend::takePage(PdfDeflater& deflater) {
    flush();
    auto page = std::make_unique<PdfDrawnPage>();
    const std::string& content = m_out.bytes();
    page->marked = m_unnamed && content.find('\x01') != std::string::npos;
    if (page->marked) {
        page->content = content;
        for (const LaneFace& face : m_faces)
            page->faceIdentities.push_back(*face.identity);
        for (const LaneImage& image : m_images)
            page->imageKeys.push_back(image.key);
    } else {
        page->packed = deflater.compress(content, page->content);
        if (!page->packed)
            page->content = content;
    }
    page->events = std::move(m_events);
    m_events.clear();
    return page;
}

// Takes up the names the document has given since the last page.
void PdfDirectBackend::resolveNames() {
    m_unnamed = false;
    for (LaneFace& face : m_faces) {
        if (face.named)
            continue;
        if (const auto name = m_names.faceName(*face.identity)) {
            face.font->setResourceName(*name);
            face.named = true;
        } else {
            m_unnamed = true;
        }
    }
    for (LaneImage& image : m_images) {
        if (image.named)
            continue;
        if (const auto object = m_names.imageObject(image.key)) {
            image.name = std::to_string(*object);
            image.named = true;
        } else {
            m_unnamed = true;
        }
    }
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
    const std::string& name = imageName(image);
    if (name.empty())
        return;
    // The image's unit square, top row first, onto the rectangle.
    m_out.raw("q ").num(static_cast<long long>(dest.right) - dest.left).raw("0 0 ");
    m_out.num(static_cast<long long>(dest.top) - dest.bottom).num(dest.left).num(dest.bottom);
    m_out.raw("cm /Im").raw(name).raw(" Do Q\n");
}

// The name of an image in the content: its object number once the document
// has written it. An image this lane meets first is prepared here (converted
// and, when the document does not have it yet, compressed) and handed over
// with the page.
const std::string& PdfDirectBackend::imageName(const QImage& image) {
    if (auto found = m_imageByCacheKey.find(image.cacheKey()); found != m_imageByCacheKey.end())
        return m_images[found->second].name;
    auto prepared = std::make_shared<PdfPreparedImage>(imagePixels(image));
    LaneImage lane;
    lane.key = prepared->key;
    if (!lane.key.empty()) {
        if (const auto object = m_names.imageObject(lane.key)) {
            lane.name = std::to_string(*object);
            lane.named = true;
        } else {
            lane.name = mark('I', m_images.size());
            m_unnamed = true;
            packImage(*prepared);
        }
        PdfPageEvent event;
        event.kind = PdfPageEvent::Kind::Image;
        event.image = std::move(prepared);
        m_events.push_back(std::move(event));
    }
    m_images.push_back(std::move(lane));
    m_imageByCacheKey.emplace(image.cacheKey(), m_images.size() - 1);
    return m_images.back().name;
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
        font.extra.face = embeddedFont(
            font.cell.raw, [key = font.key, dpiY = m_dpiY] { return CellFont::load(key, dpiY).raw; });
    };
    hooks.usable = [this](Font& font, std::uint8_t source) {
        if (source == 1)
            return font.extra.face != nullptr;
        if (!font.extra.fallbackChecked) {
            font.extra.fallbackFace =
                embeddedFont(font.fallback, [em = font.cell.em] { return CellFont::loadFallback(em); });
            font.extra.fallbackChecked = true;
        }
        return font.extra.fallbackFace != nullptr;
    };
    hooks.found = [this](Font& font, Glyph& glyph, char16_t ch) {
        PdfEmbeddedFont* face = glyph.source == 2 ? font.extra.fallbackFace : font.extra.face;
        if (glyph.index >= quint32(face->glyphCount())) {
            glyph.source = 0;
            return;
        }
        const auto index = std::uint16_t(glyph.index);
        glyph.width = std::uint16_t(std::clamp(face->advance(index), 0, 0xFFFF));
        face->use(index, ch);
        PdfPageEvent event;
        event.kind = PdfPageEvent::Kind::Glyph;
        event.identity = m_identityOf[face];
        event.glyph = index;
        event.character = ch;
        m_events.push_back(std::move(event));
    };
    return hooks;
}

// A face this lane takes up is recorded for the document, which gives it its
// name in the order faces were first taken up and loads it again, with
// `load`, on its own thread for the subset.
PdfEmbeddedFont* PdfDirectBackend::embeddedFont(const QRawFont& face, std::function<QRawFont()> load) {
    if (!face.isValid())
        return nullptr;
    const std::string identity = PdfEmbeddedFont::identity(face);
    if (auto found = m_faceByIdentity.find(identity); found != m_faceByIdentity.end()) {
        const LaneFace& known = m_faces[found->second];
        return known.font->embeddable() ? known.font.get() : nullptr;
    }
    LaneFace lane;
    lane.identity = std::make_shared<const std::string>(identity);
    std::string name;
    if (const auto given = m_names.faceName(identity)) {
        name = *given;
        lane.named = true;
    } else {
        name = mark('F', m_faces.size());
        m_unnamed = true;
    }
    lane.font = std::make_unique<PdfEmbeddedFont>(face, std::move(name));
    PdfEmbeddedFont* result = lane.font->embeddable() ? lane.font.get() : nullptr;

    PdfPageEvent event;
    event.kind = PdfPageEvent::Kind::Face;
    event.identity = lane.identity;
    event.load = std::move(load);
    m_events.push_back(std::move(event));
    m_identityOf.emplace(lane.font.get(), lane.identity);
    m_faceByIdentity.emplace(identity, m_faces.size());
    m_faces.push_back(std::move(lane));
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

} // namespace platform
