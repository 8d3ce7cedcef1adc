#include "platform/CellFont.h"
#include "platform/PdfEmbeddedFont.h"
#include "platform/PdfFontSubset.h"
#include "platform/PdfStreamWriter.h"
#include "platform/QtPainterBackend.h"
#include "tests/platform/TestApplication.h"

#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QtEndian>

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <vector>

namespace {

using namespace platform;
using platformtest::sjis;

std::uint16_t u16(const QByteArray& data, qsizetype offset) {
    return offset + 2 <= data.size() ? qFromBigEndian<quint16>(data.constData() + offset) : 0;
}

std::uint32_t u32(const QByteArray& data, qsizetype offset) {
    return offset + 4 <= data.size() ? qFromBigEndian<quint32>(data.constData() + offset) : 0;
}

std::uint32_t sum(const QByteArray& data, qsizetype begin, qsizetype length) {
    std::uint32_t total = 0;
    for (qsizetype i = 0; i < length; i += 4) {
        std::uint32_t word = 0;
        for (qsizetype k = 0; k < 4; ++k)
            word = word << 8 | (i + k < length ? static_cast<unsigned char>(data[begin + i + k]) : 0);
        total += word;
    }
    return total;
}

QRawFont face(const char* family) {
    platformtest::ensureApplication();
    QFont font{QString::fromLatin1(family)};
    font.setPixelSize(100);
    return QRawFont::fromFont(font);
}

PdfFontSubset::Tables tablesOf(const QRawFont& raw) {
    PdfFontSubset::Tables t;
    t.head = raw.fontTable("head");
    t.hhea = raw.fontTable("hhea");
    t.maxp = raw.fontTable("maxp");
    t.hmtx = raw.fontTable("hmtx");
    t.loca = raw.fontTable("loca");
    t.glyf = raw.fontTable("glyf");
    t.cvt = raw.fontTable("cvt ");
    t.fpgm = raw.fontTable("fpgm");
    t.prep = raw.fontTable("prep");
    t.os2 = raw.fontTable("OS/2");
    t.name = raw.fontTable("name");
    t.post = raw.fontTable("post");
    return t;
}

std::uint16_t glyphOf(const QRawFont& raw, char16_t ch) {
    const QList<quint32> glyphs = raw.glyphIndexesForString(QString(QChar(ch)));
    return glyphs.isEmpty() ? 0 : std::uint16_t(glyphs.front());
}

// ------------------------------------------------------------ number syntax

TEST(PdfDirectSyntax, NumbersAreShortAndExact) {
    struct Row {
        double value;
        int decimals;
        const char* expected;
    };
    const Row rows[] = {
        {0, 3, "0"},
        {0.12, 8, "0.12"},
        {72.0 / 600, 8, "0.12"},
        {-0.5, 1, "-0.5"},
        {92.9644, 3, "92.964"},
        {215.1255, 3, "215.126"},
        {-0.0004, 3, "0"},
        {1.0005, 3, "1.001"},
        {728.503937, 4, "728.5039"},
        {2.5, 0, "3"},
        {1e20, 2, "1000000000"},
        {std::numeric_limits<double>::quiet_NaN(), 3, "0"},
        {-std::numeric_limits<double>::infinity(), 3, "0"},
    };
    for (const Row& row : rows) {
        PdfStreamWriter w;
        w.appendReal(row.value, row.decimals);
        EXPECT_EQ(w.bytes(), row.expected) << row.value;
    }
    PdfStreamWriter w;
    w.num(0)
        .num(-7)
        .num(std::numeric_limits<long long>::min())
        .hex4(0x0A1F)
        .ch(' ')
        .textString(QString::fromUtf8("帳A\U0001F600"));
    EXPECT_EQ(w.bytes(), "0 -7 -9223372036854775808 0A1F <FEFF5E330041D83DDE00>");
}

// ------------------------------------------------------------------ subsets

class PdfDirectSubset : public ::testing::Test {
  protected:
    void SetUp() override {
        m_face = face("IPAGothic");
        if (!m_face.isValid() || m_face.fontTable("glyf").isEmpty())
            GTEST_SKIP() << "IPAGothic is not installed as a TrueType face";
    }
    QRawFont m_face;
};

TEST_F(PdfDirectSubset, KeptGlyphsKeepTheirOutlinesAndIdsOthersAreEmpty) {
    const std::vector<std::uint16_t> used{glyphOf(m_face, u'漢'), glyphOf(m_face, u'A'),
                                          glyphOf(m_face, u'1')};
    const QByteArray font = PdfFontSubset::build(tablesOf(m_face), used);
    ASSERT_FALSE(font.isEmpty());
    const QRawFont subset(font, 100);
    ASSERT_TRUE(subset.isValid());

    for (std::uint16_t glyph : used) {
        const QPainterPath original = m_face.pathForGlyph(glyph);
        const QPainterPath kept = subset.pathForGlyph(glyph);
        EXPECT_FALSE(original.isEmpty());
        EXPECT_EQ(kept.elementCount(), original.elementCount()) << glyph;
        EXPECT_EQ(kept.boundingRect(), original.boundingRect()) << glyph;
        QPointF a, b;
        quint32 index = glyph;
        m_face.advancesForGlyphIndexes(&index, &a, 1);
        subset.advancesForGlyphIndexes(&index, &b, 1);
        EXPECT_EQ(a, b) << glyph;
    }
    // A glyph below the highest one kept, not asked for: its slot is empty.
    const std::uint16_t dropped = glyphOf(m_face, u'B');
    ASSERT_LT(dropped, *std::max_element(used.begin(), used.end()));
    EXPECT_TRUE(subset.pathForGlyph(dropped).isEmpty());
    EXPECT_FALSE(m_face.pathForGlyph(dropped).isEmpty());
    // The font ends after the highest glyph kept and is a small part of the face.
    EXPECT_EQ(PdfFontSubset::glyphCount(subset.fontTable("maxp")),
              *std::max_element(used.begin(), used.end()) + 1);
    EXPECT_LT(font.size(), m_face.fontTable("glyf").size() / 10);
}

TEST_F(PdfDirectSubset, TableDirectoryAndChecksumsAreConsistent) {
    const std::vector<std::uint16_t> used{glyphOf(m_face, u'請'), glyphOf(m_face, u'求')};
    const QByteArray font = PdfFontSubset::build(tablesOf(m_face), used);
    ASSERT_GE(font.size(), 12);
    const int tables = u16(font, 4);
    EXPECT_EQ(tables, 12); // glyf loca head hhea hmtx maxp cvt fpgm prep OS/2 name post
    QByteArray previous;
    for (int i = 0; i < tables; ++i) {
        const qsizetype entry = 12 + 16 * i;
        const QByteArray tag = font.mid(entry, 4);
        EXPECT_LT(previous, tag) << "tables out of order at " << tag.constData();
        previous = tag;
        const std::uint32_t offset = u32(font, entry + 8), length = u32(font, entry + 12);
        ASSERT_LE(qsizetype(offset + length), font.size()) << tag.constData();
        EXPECT_EQ(offset % 4, 0u) << tag.constData();
        if (tag != "head") {
            EXPECT_EQ(u32(font, entry + 4), sum(font, offset, length)) << tag.constData();
        }
    }
    // The whole file sums to the magic number once head's adjustment is in.
    EXPECT_EQ(sum(font, 0, font.size()), 0xB1B0AFBAu);
}

// A face of three glyphs made from the real one: nothing, the outline of
// "A", and a composite that places that outline 100 units to the right.
TEST_F(PdfDirectSubset, CompositeGlyphsBringTheirParts) {
    PdfFontSubset::Tables tables = tablesOf(m_face);
    const std::uint16_t a = glyphOf(m_face, u'A');
    const bool longLoca = u16(tables.head, 50) != 0;
    const auto offset = [&](int glyph) {
        return longLoca ? qsizetype(u32(tables.loca, glyph * 4)) : qsizetype(u16(tables.loca, glyph * 2)) * 2;
    };
    QByteArray outline = tables.glyf.mid(offset(a), offset(a + 1) - offset(a));
    ASSERT_FALSE(outline.isEmpty());
    outline.append((4 - outline.size() % 4) % 4, '\0');
    // flags: words as arguments, offsets as x and y; glyph 1; dx 100, dy 0.
    const QByteArray composite = QByteArray::fromHex("ffff0000000000000000"
                                                     "0003"
                                                     "0001"
                                                     "0064"
                                                     "0000");
    tables.glyf = outline + composite;
    tables.head[50] = 0;
    tables.head[51] = 1; // long loca
    tables.loca.clear();
    for (qsizetype at : {qsizetype(0), qsizetype(0), outline.size(), tables.glyf.size()})
        tables.loca.append(char(at >> 24)).append(char(at >> 16)).append(char(at >> 8)).append(char(at));
    tables.maxp[4] = 0;
    tables.maxp[5] = 3;
    tables.hhea[34] = 0;
    tables.hhea[35] = 3;
    // Glyph 1 keeps its left side bearing, so the reader leaves it where it is.
    tables.hmtx = QByteArray::fromHex("04000000") + QByteArray::fromHex("0400") + outline.mid(2, 2) +
                  QByteArray::fromHex("04000000");

    const std::vector<std::uint16_t> used{2};
    const QRawFont subset(PdfFontSubset::build(tables, used), 100, QFont::PreferNoHinting);
    ASSERT_TRUE(subset.isValid());
    const QRectF part = subset.pathForGlyph(1).boundingRect();
    const QRectF whole = subset.pathForGlyph(2).boundingRect();
    EXPECT_FALSE(part.isEmpty());
    EXPECT_NEAR(whole.width(), part.width(), 0.05);
    EXPECT_NEAR(whole.height(), part.height(), 0.05);
    EXPECT_NEAR(whole.left() - part.left(), 100.0 * 100 / u16(tables.head, 18), 0.01);
}

TEST_F(PdfDirectSubset, DamagedTablesGiveNoFontOrEmptySlotsButNeverCrash) {
    const PdfFontSubset::Tables good = tablesOf(m_face);
    const std::vector<std::uint16_t> used{glyphOf(m_face, u'A'), 0xFFFF, 60000};
    // Rows: what is damaged, and whether a font still comes out.
    struct Row {
        const char* what;
        std::function<void(PdfFontSubset::Tables&)> damage;
        bool font;
    };
    const Row rows[] = {
        {"no glyf", [](auto& t) { t.glyf.clear(); }, false},
        {"short head", [](auto& t) { t.head.truncate(40); }, false},
        {"short loca", [](auto& t) { t.loca.truncate(10); }, false},
        {"no hmtx", [](auto& t) { t.hmtx.clear(); }, true},
        {"glyf cut short", [](auto& t) { t.glyf.truncate(t.glyf.size() / 3); }, true},
        {"loca past glyf", [](auto& t) { t.loca.fill('\xFF'); }, true},
        {"no optional tables", [](auto& t) { t.cvt = t.fpgm = t.prep = t.os2 = t.name = t.post = {}; }, true},
    };
    for (const Row& row : rows) {
        PdfFontSubset::Tables tables = good;
        row.damage(tables);
        EXPECT_EQ(!PdfFontSubset::build(tables, used).isEmpty(), row.font) << row.what;
    }
    // A composite glyph that names itself and a glyph past the end.
    PdfFontSubset::Tables looped = good;
    looped.head[51] = 1; // long loca
    looped.glyf = QByteArray::fromHex("ffff0000000000000000"
                                      "0021"
                                      "0001"
                                      "0000"
                                      "0020"
                                      "7fff"
                                      "0000");
    looped.loca = QByteArray(8, '\0');
    looped.loca[7] = char(looped.glyf.size());
    looped.loca.append(QByteArray(4 * 8, '\0'));
    looped.maxp = QByteArray::fromHex("00010000"
                                      "0002");
    const std::vector<std::uint16_t> one{1};
    EXPECT_FALSE(PdfFontSubset::build(looped, one).isEmpty());
}

// ---------------------------------------------------------------- fonts

// The direct output and the Qt painter must agree on every metric the grid
// arithmetic uses, or text would sit differently in the two.
TEST(PdfDirectFontMetrics, AgreeWithTheQtPainter) {
    platformtest::ensureApplication();
    QImage image(8, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    QtPainterBackend qt(painter, 600, 600);
    const LogFont fonts[] = {
        {87, 0, 400, sjis("ＭＳ 明朝")},      {87, 87, 400, sjis("ＭＳ 明朝")},
        {120, 0, 400, sjis("ＭＳ ゴシック")}, {-100, 0, 400, sjis("ＭＳ Ｐゴシック")},
        {0, 0, 400, sjis("ＭＳ Ｐ明朝")},     {75, 30, 700, sjis("ＭＳ ゴシック")},
        {50, 0, 400, sjis("DejaVu Sans")},    {1, 0, 400, ""},
        {-20000000, -5, 400, "\x81"},
    };
    for (const LogFont& font : fonts) {
        const CellFont direct = CellFont::load(font, 600);
        const TextMetrics expected = qt.textMetrics({font});
        EXPECT_EQ(direct.height, expected.height) << font.height << " " << font.faceName;
        EXPECT_EQ(direct.aveCharWidth, expected.aveCharWidth) << font.height << " " << font.faceName;
        EXPECT_TRUE(direct.raw.isValid());
    }
}

TEST(PdfDirectEmbeddedFont, WidthsAndTextMapCoverTheGlyphsUsed) {
    const QRawFont raw = face("IPAGothic");
    if (!raw.isValid() || raw.fontTable("glyf").isEmpty())
        GTEST_SKIP() << "IPAGothic is not installed as a TrueType face";
    PdfEmbeddedFont font(raw, "F1");
    ASSERT_TRUE(font.embeddable());
    EXPECT_FALSE(font.hasGlyphs());
    const std::uint16_t a = glyphOf(raw, u'A'), b = glyphOf(raw, u'B'), kanji = glyphOf(raw, u'漢');
    ASSERT_EQ(b, a + 1);
    // Half-width glyphs of this face are half the em; full-width ones are
    // the default width and stay out of the W array.
    EXPECT_EQ(font.advance(a), 500);
    EXPECT_EQ(font.advance(kanji), 1000);
    font.use(a, u'A');
    font.use(b, u'B');
    font.use(b, u'X'); // the first character counts
    font.use(kanji, u'漢');
    font.use(0xFFFF, u'?'); // out of range: ignored
    EXPECT_TRUE(font.hasGlyphs());
    EXPECT_EQ(font.widths(), "[" + std::to_string(a) + " [500 500 ]]");
    const std::string map = font.toUnicode();
    EXPECT_NE(map.find("3 beginbfchar"), std::string::npos) << map;
    PdfStreamWriter expected;
    expected.raw("<").hex4(b).raw("><0042>");
    EXPECT_NE(map.find(expected.bytes()), std::string::npos) << map;
    expected.clear();
    expected.raw("<").hex4(kanji).raw("><6F22>");
    EXPECT_NE(map.find(expected.bytes()), std::string::npos) << map;
    // The subset tag is six capitals before the face's name.
    const std::string name = font.baseFontName();
    ASSERT_EQ(name.size(), 16u) << name;
    EXPECT_EQ(name.substr(6), "+IPAGothic");
    for (char c : name.substr(0, 6))
        EXPECT_TRUE(c >= 'A' && c <= 'Z') << name;
}

} // namespace
