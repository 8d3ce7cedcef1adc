#pragma once

#include "platform/DeviceContext.h"
#include "platform/GlyphCache.h"
#include "platform/PdfDrawnPage.h"
#include "platform/PdfPathWriter.h"
#include "platform/PdfStreamWriter.h"
#include "platform/PdfTextWriter.h"

#include <QStringDecoder>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

// Writes the device context's calls straight into PDF content streams, for
// PdfDirectTarget. Device pixels become PDF user space through one "cm" per
// page, so every coordinate in the stream is a device pixel.
//
// Glyphs land where QtPainterBackend puts them (the same fonts, em sizes,
// baselines, horizontal scales and clipping), written compactly by
// PdfTextWriter; lines cover the pixels the Qt painter's aliased lines
// cover, written by PdfPathWriter.
//
// The backend draws the pages of one lane: it writes no file. Faces and
// images it meets for the first time are recorded as page events for the
// document (PdfDrawnPage), which names them; until a name is known here
// (PdfSharedNames), a mark stands for it in the content.
namespace platform {

class PdfDeflater;
class PdfEmbeddedFont;
class PdfSharedNames;

class PdfDirectBackend : public DeviceBackend {
  public:
    // pageHeightPoints is the height of the pages, for turning y downwards.
    PdfDirectBackend(const PdfSharedNames& names, int dpiX, int dpiY, double pageHeightPoints);
    ~PdfDirectBackend() override;
    PdfDirectBackend(const PdfDirectBackend&) = delete;
    PdfDirectBackend& operator=(const PdfDirectBackend&) = delete;

    int dpiX() const override { return m_dpiX; }
    int dpiY() const override { return m_dpiY; }
    void drawLine(Point from, Point to, const DevicePen& pen) override;
    void fillRect(const Rect& rect, ColorRef color) override;
    TextMetrics textMetrics(const DeviceFont& font) override;
    void drawChar(std::string_view sjisChar, const Rect& cell, const DeviceFont& font,
                  ColorRef color) override;
    void drawImage(const QImage& image, const Rect& dest) override;
    // Ends the text object or path being written.
    void flush() override;

    // Starts a new page's content.
    void beginPage();
    // The page drawn since beginPage, its content compressed with `deflater`
    // unless it holds marks, with the events since the last page.
    std::unique_ptr<PdfDrawnPage> takePage(PdfDeflater& deflater);

    long long glyphsDrawn() const { return m_glyphsDrawn; }

  private:
    // What a font carries beyond its metrics: the em and horizontal scale as
    // written, and the embedded faces (null when a face cannot be embedded).
    struct FontFaces {
        double size = 0;
        double scaleX = 1;
        PdfEmbeddedFont* face = nullptr;
        PdfEmbeddedFont* fallbackFace = nullptr;
        bool fallbackChecked = false;
    };
    using Glyphs = GlyphCache<FontFaces>;
    using Font = Glyphs::Font;
    using Glyph = Glyphs::Glyph;

    // A face as this lane knows it.
    struct LaneFace {
        std::unique_ptr<PdfEmbeddedFont> font;
        std::shared_ptr<const std::string> identity;
        bool named = false;
    };
    struct LaneImage {
        std::string key;
        std::string name; // the object number, or a mark
        bool named = false;
    };

    Glyphs::Hooks glyphHooks();
    PdfEmbeddedFont* embeddedFont(const QRawFont& face, std::function<QRawFont()> load);
    void resolveNames();

    void endDrawing();
    void placeGlyph(const Font& font, const Glyph& glyph, int x, int baseline, ColorRef color);
    const std::string& imageName(const QImage& image);

    const PdfSharedNames& m_names;
    int m_dpiX;
    int m_dpiY;
    double m_pageHeight;
    PdfStreamWriter m_out;
    PdfTextWriter m_text{m_out};
    PdfPathWriter m_paths{m_out};

    std::vector<LaneFace> m_faces;
    std::unordered_map<std::string, std::size_t> m_faceByIdentity;
    std::unordered_map<const PdfEmbeddedFont*, std::shared_ptr<const std::string>> m_identityOf;
    // Fonts refer to the faces above, which outlive them.
    Glyphs m_glyphs{m_dpiY, glyphHooks()};
    std::vector<LaneImage> m_images;
    std::unordered_map<qint64, std::size_t> m_imageByCacheKey;
    std::vector<PdfPageEvent> m_events;
    bool m_unnamed = false; // a face or image whose name is still a mark

    long long m_glyphsDrawn = 0;
};

} // namespace platform
