#include "platform/QtPainterBackend.h"
#include "tests/platform/TestApplication.h"

#include <QImage>
#include <QPainter>
#include <QRawFont>

#include <gtest/gtest.h>

#include <functional>
#include <vector>

namespace {

using namespace platform;
using platformtest::sjis;

constexpr ColorRef kBlack = 0x000000;
constexpr ColorRef kRed = 0x0000FF; // red sits in the low byte

bool isInk(QRgb pixel) {
    return qGray(pixel) < 160;
}

// Non-white pixels of an image within an area.
QRect inkBounds(const QImage& image, const QRect& area) {
    QRect bounds;
    for (int y = std::max(0, area.top()); y <= std::min(image.height() - 1, area.bottom()); ++y)
        for (int x = std::max(0, area.left()); x <= std::min(image.width() - 1, area.right()); ++x)
            if (isInk(image.pixel(x, y)))
                bounds |= QRect(x, y, 1, 1);
    return bounds;
}

// Draws on a white image through a backend at the given resolution.
QImage paint(QSize size, const std::function<void(QtPainterBackend&)>& draw, int dpi = 96,
             long long* runs = nullptr) {
    platformtest::ensureApplication();
    QImage image(size, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    QtPainterBackend backend(painter, dpi, dpi);
    draw(backend);
    backend.flush();
    if (runs)
        *runs = backend.glyphRunsDrawn();
    return image;
}

DeviceFont deviceFont(const char* face, int height, int width = 0) {
    DeviceFont font;
    font.font.faceName = sjis(face);
    font.font.height = height;
    font.font.width = width;
    return font;
}

// The em at which Qt's own ascent + descent equal the cell height; for the
// IPA faces Qt reads the same extent as the Windows metrics.
QRawFont rawAtCellHeight(const char* family, int cellHeight) {
    QFont font(QString::fromUtf8(family));
    font.setPixelSize(100);
    font.setHintingPreference(QFont::PreferNoHinting);
    QRawFont raw = QRawFont::fromFont(font);
    raw.setPixelSize(cellHeight * 100.0 / (raw.ascent() + raw.descent()));
    return raw;
}

qreal advanceOf(const QRawFont& raw, const QString& text) {
    const QList<quint32> glyphs = raw.glyphIndexesForString(text);
    return raw.advancesForGlyphIndexes(glyphs).front().x();
}

struct MetricsCase {
    const char* face;
    const char* family;
    int height;
};

void PrintTo(const MetricsCase& c, std::ostream* os) {
    *os << c.family << " " << c.height;
}

class CellHeight : public ::testing::TestWithParam<MetricsCase> {};

TEST_P(CellHeight, HeightIsTheCellAndAverageWidthHalfAFullWidthGlyph) {
    const MetricsCase& c = GetParam();
    platformtest::ensureApplication();
    QImage image(8, 8, QImage::Format_RGB32);
    QPainter painter(&image);
    QtPainterBackend backend(painter, 600, 600);
    const TextMetrics metrics = backend.textMetrics(deviceFont(c.face, c.height));
    EXPECT_EQ(metrics.height, c.height);
    const qreal fullWidth = advanceOf(rawAtCellHeight(c.family, c.height), QStringLiteral("漢"));
    EXPECT_NEAR(metrics.aveCharWidth, fullWidth / 2, 0.51);
    // Double width: the average width is the requested one.
    EXPECT_EQ(backend.textMetrics(deviceFont(c.face, c.height, c.height)).aveCharWidth, c.height);
}

INSTANTIATE_TEST_SUITE_P(Faces, CellHeight,
                         ::testing::Values(MetricsCase{"ＭＳ 明朝", "IPAMincho", 24},
                                           MetricsCase{"ＭＳ 明朝", "IPAMincho", 83},
                                           MetricsCase{"ＭＳ 明朝", "IPAMincho", 100},
                                           MetricsCase{"ＭＳ ゴシック", "IPAGothic", 37},
                                           MetricsCase{"ＭＳ ゴシック", "IPAGothic", 200}));

TEST(QtPainterBackend, CharactersOfARowLandInTheirCellsAsOneRun) {
    const DeviceFont font = deviceFont("ＭＳ 明朝", 40);
    const char* texts[] = {"A", "B", "漢", "字", "7"};
    std::vector<QRect> cells;
    long long runs = 0;
    const QImage image = paint(
        {400, 100},
        [&](QtPainterBackend& backend) {
            const int half = backend.textMetrics(font).aveCharWidth;
            int x = 20;
            for (const char* text : texts) {
                const std::string bytes = sjis(text);
                const Rect cell{x, 30, x + half * int(bytes.size()), 70};
                backend.drawChar(bytes, cell, font, kBlack);
                cells.emplace_back(cell.left, cell.top, cell.right - cell.left, cell.bottom - cell.top);
                x = cell.right + 10; // gaps between the cells
            }
        },
        96, &runs);
    EXPECT_EQ(runs, 1);
    QRect all;
    for (const QRect& cell : cells) {
        const QRect ink = inkBounds(image, cell);
        EXPECT_FALSE(ink.isEmpty()) << "no ink in cell at x " << cell.left();
        all |= cell;
    }
    // Nothing outside the cells: in the gaps, above or below.
    EXPECT_EQ(inkBounds(image, image.rect()), inkBounds(image, all));
    for (std::size_t i = 0; i + 1 < cells.size(); ++i) {
        const QRect gap(cells[i].right() + 1, 0, cells[i + 1].left() - cells[i].right() - 1, 100);
        EXPECT_TRUE(inkBounds(image, gap).isEmpty()) << "ink between cells " << i << " and " << i + 1;
    }
}

TEST(QtPainterBackend, CharacterIsCentredVerticallyInTallCell) {
    const DeviceFont font = deviceFont("ＭＳ ゴシック", 40);
    const Rect cell{10, 20, 60, 140};
    const QImage image = paint(
        {100, 200}, [&](QtPainterBackend& backend) { backend.drawChar(sjis("■"), cell, font, kBlack); });
    const QRect ink = inkBounds(image, image.rect());
    ASSERT_FALSE(ink.isEmpty());
    const double inkMiddle = (ink.top() + ink.bottom() + 1) / 2.0;
    EXPECT_NEAR(inkMiddle, (cell.top + cell.bottom) / 2.0, 4.0);
    EXPECT_GE(ink.left(), cell.left);
}

TEST(QtPainterBackend, GlyphWiderThanItsCellIsClipped) {
    const DeviceFont font = deviceFont("ＭＳ 明朝", 60);
    // A full-width character in a one-byte cell: half of it must go.
    const Rect cell{10, 10, 35, 80};
    const QImage image = paint(
        {120, 100}, [&](QtPainterBackend& backend) { backend.drawChar(sjis("■"), cell, font, kBlack); });
    const QRect ink = inkBounds(image, image.rect());
    ASSERT_FALSE(ink.isEmpty());
    EXPECT_LT(ink.right(), cell.right);
    EXPECT_GE(ink.right(), cell.right - 2); // clipped at the edge, not left out
}

TEST(QtPainterBackend, NonZeroWidthStretchesGlyphsToTheAverageWidth) {
    // width == height is the double-width font of the forms: each glyph is
    // stretched by width / natural half-width (about 2.2 for these faces).
    const Rect cell{10, 10, 190, 80};
    QRect ink[2];
    for (int wide = 0; wide < 2; ++wide) {
        const DeviceFont font = deviceFont("ＭＳ 明朝", 50, wide ? 50 : 0);
        const QImage image = paint(
            {200, 100}, [&](QtPainterBackend& backend) { backend.drawChar(sjis("■"), cell, font, kBlack); });
        ink[wide] = inkBounds(image, image.rect());
    }
    const qreal naturalHalf = advanceOf(rawAtCellHeight("IPAMincho", 50), QStringLiteral("漢")) / 2;
    const double scale = 50 / naturalHalf;
    EXPECT_NEAR(double(ink[1].width()) / ink[0].width(), scale, 0.06);
    EXPECT_EQ(ink[1].height(), ink[0].height());
    // The glyph origin stays at the cell's left edge; only the bearing stretches.
    EXPECT_NEAR(ink[1].left() - cell.left, (ink[0].left() - cell.left) * scale, 2);
}

TEST(QtPainterBackend, RunBreaksOnColourAndRowAndKeepsColour) {
    const DeviceFont font = deviceFont("ＭＳ ゴシック", 30);
    long long runs = 0;
    const QImage image = paint(
        {200, 100},
        [&](QtPainterBackend& backend) {
            backend.drawChar(sjis("■"), {10, 10, 40, 40}, font, kRed);
            backend.drawChar(sjis("■"), {40, 10, 70, 40}, font, kRed);
            backend.drawChar(sjis("■"), {70, 10, 100, 40}, font, 0xFF0000); // blue
            backend.drawChar(sjis("■"), {10, 50, 40, 80}, font, 0xFF0000);  // next row
        },
        96, &runs);
    EXPECT_EQ(runs, 3);
    const QRgb red = image.pixel(inkBounds(image, {10, 10, 30, 30}).center());
    const QRgb blue = image.pixel(inkBounds(image, {70, 10, 30, 30}).center());
    EXPECT_GT(qRed(red), 200);
    EXPECT_LT(qBlue(red), 60);
    EXPECT_GT(qBlue(blue), 200);
    EXPECT_LT(qRed(blue), 60);
    EXPECT_FALSE(inkBounds(image, {10, 50, 30, 30}).isEmpty());
}

TEST(QtPainterBackend, LaterFillCoversEarlierText) {
    // Batched text must reach the device before the next primitive.
    const DeviceFont font = deviceFont("ＭＳ ゴシック", 30);
    const QImage image = paint({100, 60}, [&](QtPainterBackend& backend) {
        backend.drawChar(sjis("■"), {10, 10, 40, 40}, font, kBlack);
        backend.fillRect({0, 0, 100, 60}, 0xFFFFFF);
    });
    EXPECT_TRUE(inkBounds(image, image.rect()).isEmpty());
}

TEST(QtPainterBackend, BlanksAndUndecodableBytesDrawNothing) {
    const DeviceFont font = deviceFont("ＭＳ 明朝", 30);
    long long runs = 0;
    const QImage image = paint(
        {100, 60},
        [&](QtPainterBackend& backend) {
            for (const std::string& text : {std::string(" "), sjis("　"), std::string("\x81"),
                                            std::string("\xFF\xFF"), std::string(1, '\0'), std::string()})
                backend.drawChar(text, {10, 10, 40, 40}, font, kBlack);
        },
        96, &runs);
    EXPECT_EQ(runs, 0);
    EXPECT_TRUE(inkBounds(image, image.rect()).isEmpty());
}

TEST(QtPainterBackend, CharacterMissingFromFaceComesFromFallback) {
    // DejaVu Sans has no kana; the character must still show.
    const DeviceFont font = deviceFont("DejaVu Sans", 40);
    const QImage image = paint({100, 60}, [&](QtPainterBackend& backend) {
        backend.drawChar(sjis("あ"), {10, 5, 60, 55}, font, kBlack);
    });
    EXPECT_FALSE(inkBounds(image, image.rect()).isEmpty());
}

// Runs of ink and paper along a row: +n for n inked pixels, -n for n blank.
std::vector<int> runsAlong(const QImage& image, int y, int from, int to) {
    std::vector<int> runs;
    for (int x = from; x < to; ++x) {
        const int sign = isInk(image.pixel(x, y)) ? 1 : -1;
        if (!runs.empty() && (runs.back() > 0) == (sign > 0))
            runs.back() += sign;
        else
            runs.push_back(sign);
    }
    return runs;
}

struct PenCase {
    PenStyle style;
    int width;
    std::vector<int> period; // the start of the pattern, in device pixels
};

void PrintTo(const PenCase& c, std::ostream* os) {
    *os << int(c.style) << " width " << c.width;
}

class PenPattern : public ::testing::TestWithParam<PenCase> {};

TEST_P(PenPattern, PatternIsInDevicePixelsWhateverTheWidth) {
    const PenCase& c = GetParam();
    const QImage image = paint({200, 40}, [&](QtPainterBackend& backend) {
        backend.drawLine({10, 20}, {190, 20}, {c.style, c.width, kBlack});
    });
    const std::vector<int> runs = runsAlong(image, 20, 10, 190);
    ASSERT_GE(runs.size(), c.period.size());
    EXPECT_EQ(std::vector<int>(runs.begin(), runs.begin() + qsizetype(c.period.size())), c.period);
    // The line is as thick as the pen.
    const QRect ink = inkBounds(image, image.rect());
    EXPECT_EQ(ink.height(), c.width);
    EXPECT_EQ(ink.left(), 10);
}

INSTANTIATE_TEST_SUITE_P(Styles, PenPattern,
                         ::testing::Values(PenCase{PenStyle::Solid, 1, {180}},
                                           PenCase{PenStyle::Solid, 4, {180}},
                                           PenCase{PenStyle::Dash, 1, {18, -6, 18, -6}},
                                           PenCase{PenStyle::Dash, 3, {18, -6, 18, -6}},
                                           PenCase{PenStyle::Dot, 1, {3, -3, 3, -3}},
                                           PenCase{PenStyle::Dot, 5, {3, -3, 3, -3}},
                                           PenCase{PenStyle::DashDot, 1, {9, -6, 3, -6, 9}},
                                           PenCase{PenStyle::DashDot, 2, {9, -6, 3, -6, 9}},
                                           PenCase{PenStyle::DashDotDot, 1, {9, -3, 3, -3, 3, -3, 9}},
                                           PenCase{PenStyle::DashDotDot, 3, {9, -3, 3, -3, 3, -3, 9}}));

TEST(QtPainterBackend, ThinLineLeavesOutItsLastPixel) {
    const QImage image = paint({40, 40}, [&](QtPainterBackend& backend) {
        backend.drawLine({5, 5}, {5, 30}, {PenStyle::Solid, 1, kBlack});
    });
    EXPECT_EQ(inkBounds(image, image.rect()), QRect(5, 5, 1, 25));
}

struct FillCase {
    Rect rect;
    QRect expected; // empty: nothing drawn
};

class FillRect : public ::testing::TestWithParam<FillCase> {};

TEST_P(FillRect, FillsRightAndBottomExclusive) {
    const FillCase& c = GetParam();
    const QImage image = paint({50, 50}, [&](QtPainterBackend& backend) { backend.fillRect(c.rect, kRed); });
    EXPECT_EQ(inkBounds(image, image.rect()), c.expected);
    if (!c.expected.isEmpty()) {
        EXPECT_EQ(image.pixel(c.expected.topLeft()), qRgb(255, 0, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Rects, FillRect,
                         ::testing::Values(FillCase{{10, 10, 20, 15}, QRect(10, 10, 10, 5)},
                                           FillCase{{0, 0, 1, 1}, QRect(0, 0, 1, 1)},
                                           FillCase{{10, 10, 10, 20}, QRect()},
                                           FillCase{{20, 20, 10, 10}, QRect()}));

TEST(QtPainterBackend, ImageIsStretchedIntoItsRectangle) {
    QImage source(2, 2, QImage::Format_RGB32);
    source.setPixel(0, 0, qRgb(255, 0, 0));
    source.setPixel(1, 0, qRgb(0, 255, 0));
    source.setPixel(0, 1, qRgb(0, 0, 255));
    source.setPixel(1, 1, qRgb(0, 0, 0));
    const QImage image = paint({60, 60}, [&](QtPainterBackend& backend) {
        backend.drawImage(source, {10, 10, 50, 50});
    });
    EXPECT_EQ(image.pixel(15, 15), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(45, 15), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(15, 45), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(45, 45), qRgb(0, 0, 0));
    EXPECT_EQ(image.pixel(9, 9), qRgb(255, 255, 255));
    EXPECT_EQ(image.pixel(50, 50), qRgb(255, 255, 255));
}

} // namespace
