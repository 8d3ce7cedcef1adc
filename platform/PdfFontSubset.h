#pragma once

#include <QByteArray>

#include <cstdint>
#include <span>

// Cuts a TrueType font (glyf outlines) down to the glyphs a document uses, for
// embedding. Glyph ids stay as they are, so the document's glyph codes need no
// renumbering: glyphs that are not used keep their slot with no outline, and
// the font ends after the highest glyph used. Glyph 0 is always kept, as are
// the parts of composite glyphs.
namespace platform {

class PdfFontSubset {
  public:
    // The tables of the whole font, as QRawFont::fontTable returns them;
    // missing ones are empty.
    struct Tables {
        QByteArray head, hhea, maxp, hmtx, loca, glyf;
        QByteArray cvt, fpgm, prep, os2, name, post;
    };

    // The subset font file, or an empty array when the tables do not make a
    // TrueType font this can read (no glyf or loca, tables too short).
    static QByteArray build(const Tables& tables, std::span<const std::uint16_t> glyphs);

    // Number of glyphs in the maxp table (0 when it is unreadable).
    static int glyphCount(const QByteArray& maxp);
    // Advance width of a glyph in font units from hhea and hmtx.
    static int advanceWidth(const QByteArray& hhea, const QByteArray& hmtx, std::uint16_t glyph);
};

} // namespace platform
