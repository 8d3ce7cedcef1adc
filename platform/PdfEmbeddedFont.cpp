#include "platform/PdfEmbeddedFont.h"

#include "platform/PdfDeflater.h"
#include "platform/PdfFileWriter.h"
#include "platform/PdfStreamWriter.h"

#include <QtEndian>

#include <algorithm>

namespace platform {

namespace {

// Width of the glyphs the W array leaves out: the full-width glyphs of a
// Japanese face.
constexpr int kDefaultWidth = 1000;
// bfchar blocks hold at most this many entries.
constexpr int kCMapBlock = 100;

std::int16_t readS16(const QByteArray& data, qsizetype offset) {
    if (offset < 0 || offset + 2 > data.size())
        return 0;
    return qFromBigEndian<qint16>(data.constData() + offset);
}

std::uint16_t readU16(const QByteArray& data, qsizetype offset) {
    return static_cast<std::uint16_t>(readS16(data, offset));
}

std::uint32_t readU32(const QByteArray& data, qsizetype offset) {
    if (offset < 0 || offset + 4 > data.size())
        return 0;
    return qFromBigEndian<quint32>(data.constData() + offset);
}

} // namespace

PdfEmbeddedFont::PdfEmbeddedFont(const QRawFont& face, std::string resourceName)
    : m_face(face), m_resourceName(std::move(resourceName)) {
    m_head = face.fontTable("head");
    m_hhea = face.fontTable("hhea");
    m_hmtx = face.fontTable("hmtx");
    const int units = readU16(m_head, 18);
    m_unitsPerEm = units >= 16 ? units : 1000;
    const bool outlines = !face.fontTable("loca").isEmpty() && m_head.size() >= 54 && m_hhea.size() >= 36;
    m_glyphCount = outlines ? PdfFontSubset::glyphCount(face.fontTable("maxp")) : 0;
    m_characters.assign(std::size_t(m_glyphCount), 0);
    m_used.assign(std::size_t(m_glyphCount), false);
}

std::string PdfEmbeddedFont::identity(const QRawFont& face) {
    const QByteArray head = face.fontTable("head");
    return (face.familyName() + QLatin1Char('\n') + face.styleName() + QLatin1Char('\n')).toStdString() +
           std::string(head.constData(), std::size_t(head.size()));
}

int PdfEmbeddedFont::advance(std::uint16_t glyph) const {
    const long long units = PdfFontSubset::advanceWidth(m_hhea, m_hmtx, glyph);
    return int((units * 1000 + m_unitsPerEm / 2) / m_unitsPerEm);
}

void PdfEmbeddedFont::use(std::uint16_t glyph, char16_t character) {
    if (glyph >= m_glyphCount || m_used[glyph])
        return;
    m_used[glyph] = true;
    ++m_usedCount;
    m_characters[glyph] = character;
}

PdfFontSubset::Tables PdfEmbeddedFont::tables() const {
    PdfFontSubset::Tables tables;
    tables.head = m_head;
    tables.hhea = m_hhea;
    tables.hmtx = m_hmtx;
    tables.maxp = m_face.fontTable("maxp");
    tables.loca = m_face.fontTable("loca");
    tables.glyf = m_face.fontTable("glyf");
    tables.cvt = m_face.fontTable("cvt ");
    tables.fpgm = m_face.fontTable("fpgm");
    tables.prep = m_face.fontTable("prep");
    tables.os2 = m_face.fontTable("OS/2");
    tables.name = m_face.fontTable("name");
    tables.post = m_face.fontTable("post");
    return tables;
}

std::string PdfEmbeddedFont::baseFontName() const {
    // A PostScript-like name: letters, digits and hyphens of the family.
    std::string name;
    for (QChar c : m_face.familyName() + m_face.styleName().remove(QStringLiteral("Regular")))
        if ((c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z') || (c >= u'0' && c <= u'9') || c == u'-')
            name.push_back(char(c.unicode()));
    if (name.empty())
        name = "Font";
    // The subset tag: six capitals that change with the glyphs kept.
    std::uint32_t hash = 2166136261u;
    for (std::size_t glyph = 0; glyph < m_used.size(); ++glyph)
        if (m_used[glyph])
            hash = (hash ^ std::uint32_t(glyph)) * 16777619u;
    for (char c : m_resourceName)
        hash = (hash ^ std::uint8_t(c)) * 16777619u;
    std::string tag;
    for (int i = 0; i < 6; ++i, hash /= 26)
        tag.push_back(char('A' + hash % 26));
    return tag + '+' + name;
}

std::string PdfEmbeddedFont::widths() const {
    PdfStreamWriter w;
    w.raw("[");
    int runStart = -1;
    for (int glyph = 0; glyph <= m_glyphCount; ++glyph) {
        const bool listed = glyph < m_glyphCount && m_used[std::size_t(glyph)] &&
                            advance(std::uint16_t(glyph)) != kDefaultWidth;
        if (listed && runStart < 0) {
            runStart = glyph;
            w.num(glyph).raw("[");
        }
        if (listed)
            w.num(advance(std::uint16_t(glyph)));
        if (!listed && runStart >= 0) {
            w.raw("]");
            runStart = -1;
        }
    }
    w.raw("]");
    return w.bytes();
}

std::string PdfEmbeddedFont::toUnicode() const {
    std::vector<std::uint16_t> glyphs;
    for (int glyph = 0; glyph < m_glyphCount; ++glyph)
        if (m_used[std::size_t(glyph)] && m_characters[std::size_t(glyph)] != 0)
            glyphs.push_back(std::uint16_t(glyph));
    PdfStreamWriter w;
    w.raw("/CIDInit /ProcSet findresource begin\n12 dict begin\nbegincmap\n"
          "/CIDSystemInfo<</Registry(Adobe)/Ordering(UCS)/Supplement 0>>def\n"
          "/CMapName/Adobe-Identity-UCS def\n/CMapType 2 def\n"
          "1 begincodespacerange\n<0000><FFFF>\nendcodespacerange\n");
    for (std::size_t begin = 0; begin < glyphs.size(); begin += kCMapBlock) {
        const std::size_t end = std::min(glyphs.size(), begin + kCMapBlock);
        w.num(static_cast<long long>(end - begin)).raw("beginbfchar\n");
        for (std::size_t i = begin; i < end; ++i) {
            w.raw("<").hex4(glyphs[i]).raw("><").hex4(m_characters[glyphs[i]]).raw(">\n");
        }
        w.raw("endbfchar\n");
    }
    w.raw("endcmap\nCMapName currentdict /CMap defineresource pop\nend\nend\n");
    return w.bytes();
}

void PdfEmbeddedFont::write(PdfFileWriter& file, PdfDeflater& deflater, int number) const {
    std::vector<std::uint16_t> glyphs;
    for (int glyph = 0; glyph < m_glyphCount; ++glyph)
        if (m_used[std::size_t(glyph)])
            glyphs.push_back(std::uint16_t(glyph));
    const int cidFont = file.reserveObject();
    const int descriptor = file.reserveObject();
    const int fontFile = file.reserveObject();
    const int unicode = file.reserveObject();
    const std::string baseFont = baseFontName();

    PdfStreamWriter w;
    w.raw("<</Type/Font/Subtype/Type0/BaseFont/").raw(baseFont).raw("/Encoding/Identity-H/DescendantFonts[");
    w.num(cidFont).raw("0 R]/ToUnicode ").num(unicode).raw("0 R>>");
    file.writeObject(number, w.bytes());

    w.clear();
    w.raw("<</Type/Font/Subtype/CIDFontType2/BaseFont/").raw(baseFont);
    w.raw("/CIDSystemInfo<</Registry(Adobe)/Ordering(Identity)/Supplement 0>>/FontDescriptor ");
    w.num(descriptor)
        .raw("0 R/DW ")
        .num(kDefaultWidth)
        .raw("/W")
        .raw(widths())
        .raw("/CIDToGIDMap/Identity>>");
    file.writeObject(cidFont, w.bytes());

    const QByteArray os2 = m_face.fontTable("OS/2");
    const QByteArray post = m_face.fontTable("post");
    const auto scaled = [this](int units) { return (static_cast<long long>(units) * 1000) / m_unitsPerEm; };
    int flags = 4; // symbolic: the glyphs are outside the standard Latin set
    if (readU32(post, 12) != 0)
        flags |= 1; // fixed pitch
    const int familyClass = readS16(os2, 30) >> 8;
    if (familyClass >= 1 && familyClass <= 7)
        flags |= 2; // serif
    const int ascent = readS16(m_hhea, 4);
    const int capHeight = readU16(os2, 0) >= 2 && os2.size() >= 90 ? readS16(os2, 88) : ascent;
    const int weight = readU16(os2, 4);
    w.clear();
    w.raw("<</Type/FontDescriptor/FontName/").raw(baseFont).raw("/Flags ").num(flags).raw("/FontBBox[");
    for (int offset : {36, 38, 40, 42})
        w.num(scaled(readS16(m_head, offset)));
    w.raw("]/ItalicAngle ").real(static_cast<std::int32_t>(readU32(post, 4)) / 65536.0, 2);
    w.raw("/Ascent ").num(scaled(ascent)).raw("/Descent ").num(scaled(readS16(m_hhea, 6)));
    w.raw("/CapHeight ").num(scaled(capHeight)).raw("/StemV ").num(weight >= 600 ? 120 : 80);
    w.raw("/FontFile2 ").num(fontFile).raw("0 R>>");
    file.writeObject(descriptor, w.bytes());

    const QByteArray subset = PdfFontSubset::build(tables(), glyphs);
    const std::string_view plain(subset.constData(), std::size_t(subset.size()));
    std::string packed;
    const bool compressed = deflater.compress(plain, packed);
    w.clear();
    w.raw("/Length1 ").num(subset.size()).raw(compressed ? "/Filter/FlateDecode" : "");
    file.writeStream(fontFile, w.bytes(), compressed ? std::string_view(packed) : plain);

    file.writeStream(unicode, {}, toUnicode());
}

} // namespace platform
