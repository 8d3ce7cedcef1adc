#pragma once

#include "platform/DeviceContext.h"
#include "platform/GlyphCache.h"
#include "platform/PdfPathWriter.h"
#include "platform/PdfStreamWriter.h"
#include "platform/PdfTextWriter.h"

#include <QStringDecoder>

#include <cstdint>
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
// cover, written by PdfPathWriter. Faces are embedded as subsets.
namespace platform {

class PdfDeflater;
class PdfEmbeddedFont;
class PdfFileWriter;

class PdfDirectBackend : public DeviceBackend {
  public:
    // Images are written to `file` when first drawn; pageHeightPoints is the
    // height of the pages, for turning y downwards.
    PdfDirectBackend(PdfFileWriter& file, int dpiX, int dpiY, double pageHeightPoints);
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
    // The content drawn since beginPage, uncompressed and complete.
    const std::string& pageContent();
    // Writes the fonts used so far and the resource dictionary that every
    // page refers to, as object `resources`.
    void writeResources(int resources, PdfDeflater& deflater);

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

    Glyphs::Hooks glyphHooks();
    PdfEmbeddedFont* embeddedFont(const QRawFont& face);

    void endDrawing();
    void placeGlyph(const Font& font, const Glyph& glyph, int x, int baseline, ColorRef color);
    int imageObject(const QImage& image);

    PdfFileWriter& m_file;
    int m_dpiX;
    int m_dpiY;
    double m_pageHeight;
    PdfStreamWriter m_out;
    PdfTextWriter m_text{m_out};
    PdfPathWriter m_paths{m_out};

    std::vector<std::unique_ptr<PdfEmbeddedFont>> m_faces;
    std::unordered_map<std::string, PdfEmbeddedFont*> m_faceByIdentity;
    // Fonts refer to the faces above, which outlive them.
    Glyphs m_glyphs{m_dpiY, glyphHooks()};
    std::unordered_map<qint64, int> m_images; // QImage::cacheKey to XObject number

    long long m_glyphsDrawn = 0;
};

} // namespace platform
