#pragma once

#include "platform/PdfFontSubset.h"

#include <QRawFont>

#include <cstdint>
#include <string>
#include <vector>

// One TrueType face as a document uses it: which glyphs were drawn, with what
// character each, and, at the end, the PDF objects that embed a subset of it
// (a Type0 font with Identity-H encoding over a CIDFontType2 whose CIDs are
// the glyph ids, widths, a descriptor, the font file and a ToUnicode map so
// that the text can be extracted).
namespace platform {

class PdfDeflater;
class PdfFileWriter;

class PdfEmbeddedFont {
  public:
    PdfEmbeddedFont(const QRawFont& face, std::string resourceName);

    // A key that is equal for two QRawFonts of the same face, whatever size.
    static std::string identity(const QRawFont& face);

    // False for faces without TrueType outlines (glyf and loca), which this
    // cannot subset.
    bool embeddable() const { return m_glyphCount > 0; }
    const std::string& resourceName() const { return m_resourceName; }
    void setResourceName(std::string name) { m_resourceName = std::move(name); }
    int glyphCount() const { return m_glyphCount; }
    bool hasGlyphs() const { return m_usedCount > 0; }

    // The advance of a glyph in thousandths of the em, as the W array gives it.
    int advance(std::uint16_t glyph) const;
    // Records that a glyph was drawn for a character (the first one counts).
    void use(std::uint16_t glyph, char16_t character);

    // Writes the Type0 font as object `number` and the objects under it.
    void write(PdfFileWriter& file, PdfDeflater& deflater, int number) const;

    // The parts, for tests.
    std::string widths() const;
    std::string toUnicode() const;
    std::string baseFontName() const;

  private:
    PdfFontSubset::Tables tables() const;

    QRawFont m_face;
    std::string m_resourceName;
    QByteArray m_head;
    QByteArray m_hhea;
    QByteArray m_hmtx;
    int m_unitsPerEm = 1000;
    int m_glyphCount = 0;
    int m_usedCount = 0;
    std::vector<char16_t> m_characters; // by glyph id
    std::vector<bool> m_used;           // by glyph id
};

} // namespace platform
