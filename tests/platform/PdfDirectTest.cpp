#include "platform/PdfDirectTarget.h"
#include "platform/PngPageTarget.h"
#include "tests/platform/TestApplication.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <functional>
#include <thread>
#include <vector>

namespace {

using namespace platform;
using platformtest::sjis;

// A small paper keeps the 600 dpi pages light: 80 x 50 mm.
constexpr PaperTenths kPaper{800, 500};
constexpr int kDpi = 600;
constexpr int kCellHeight = 90;

// Runs a poppler tool and returns its standard output.
QByteArray runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(60000) || process.exitStatus() != QProcess::NormalExit ||
        process.exitCode() != 0)
        return "<" + program.toUtf8() + " failed: " + process.readAllStandardError() + ">";
    return process.readAllStandardOutput();
}

QString withoutBlanks(const QByteArray& utf8) {
    QString text = QString::fromUtf8(utf8);
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

bool isLead(unsigned char byte) {
    return (byte >= 0x81 && byte <= 0x9F) || byte >= 0xE0;
}

// Spreads a text over the grid the way forms do: one cell per byte.
void drawCells(DeviceContext& dc, const char* utf8, int left, int top, int cellHeight = kCellHeight) {
    const std::string text = sjis(utf8);
    const int half = dc.textMetrics().aveCharWidth;
    int x = left;
    for (std::size_t i = 0; i < text.size();) {
        const int length = isLead(static_cast<unsigned char>(text[i])) ? 2 : 1;
        dc.drawChar(std::string_view(text).substr(i, std::size_t(length)),
                    {x, top, x + half * length, top + cellHeight});
        x += half * length;
        i += std::size_t(length);
    }
}

QImage testImage() {
    QImage image(16, 8, QImage::Format_RGB32);
    image.fill(Qt::white);
    for (int y = 0; y < 8; ++y)
        for (int x = 0; x < 8; ++x)
            image.setPixel(x, y, qRgb(0, 0, 160));
    return image;
}

// Bands of the test page, in device pixels (the device context adds the
// printable offset of 118 pixels on both axes).
const QRect kTextBand(118, 118 + 20, 1700, 5 * 100);
const QRect kLineBand(118, 118 + 560, 1700, 330);
const QRect kImageBand(118 + 1300, 118 + 890, 300, 100);

// One page of everything the forms draw: faces, colours, double width, a
// glyph clipped to its cell, a face without Japanese glyphs, pens of every
// style and several widths in both directions, fills and a stretched image.
void drawTestPage(DeviceContext& dc, const QImage& image) {
    const int height = 105 * kDpi / 720;
    dc.selectFont({height, 0, 400, sjis("ＭＳ 明朝")});
    drawCells(dc, "請求書　帳票番号１２３ Total", 0, 20);
    dc.setTextColor(0x0000FF);
    dc.selectFont({height, 0, 400, sjis("ＭＳ ゴシック")});
    drawCells(dc, "ﾃｽﾄ ABC-789 合計", 0, 120);
    dc.setTextColor(0);
    dc.selectFont({height, height, 400, sjis("ＭＳ 明朝")});
    drawCells(dc, "倍角ABC", 0, 220);
    dc.selectFont({height, 0, 400, sjis("DejaVu Sans")});
    drawCells(dc, "Abc漢字xyz", 0, 320);
    // Too wide and too high for their cells: clipped like the Qt output.
    dc.selectFont({height * 2, 0, 400, sjis("ＭＳ ゴシック")});
    dc.drawChar(sjis("漢"), {0, 420, 60, 500});
    dc.drawChar(sjis("W"), {100, 420, 120, 520});

    int y = 580;
    const PenStyle styles[] = {PenStyle::Solid, PenStyle::Dash, PenStyle::Dot, PenStyle::DashDot,
                               PenStyle::DashDotDot};
    for (int width : {0, 2, 3}) {
        for (PenStyle style : styles) {
            dc.selectPen({style, width, width == 3 ? 0x008000 : 0});
            dc.moveTo(10, y);
            dc.lineTo(410, y);
            dc.moveTo(810, y + 8);
            dc.lineTo(430, y + 8);
            y += 20;
        }
    }
    for (int i = 0; i < 5; ++i) {
        dc.selectPen({styles[i], i % 2 * 2, 0});
        dc.moveTo(900 + 30 * i, 580);
        dc.lineTo(900 + 30 * i, 860);
        dc.moveTo(915 + 30 * i, 870);
        dc.lineTo(915 + 30 * i, 590);
    }
    dc.selectPen({PenStyle::Solid, 0, 0});
    dc.moveTo(1100, 600);
    dc.lineTo(1100, 600); // one pixel
    // Rows and a column of dots as figures draw them, one segment a dot,
    // with a stray dot off the pitch at the end of the first row.
    for (int i = 0; i < 40; ++i) {
        dc.moveTo(10 + 5 * i, 872);
        dc.lineTo(11 + 5 * i, 872);
    }
    dc.moveTo(212, 872);
    dc.lineTo(213, 872);
    dc.selectPen({PenStyle::Solid, 2, 0x800000});
    for (int i = 0; i < 30; ++i) {
        dc.moveTo(300 + 6 * i, 882);
        dc.lineTo(301 + 6 * i, 882);
    }
    for (int i = 0; i < 30; ++i) {
        dc.moveTo(1200, 700 + 6 * i);
        dc.lineTo(1200, 701 + 6 * i);
    }
    dc.fillRect({1150, 580, 1290, 640}, 0xC08040);
    dc.draw3dRect({1150, 660, 1290, 720}, 0x000000, 0x808080);
    dc.stretchImage(image, {1320, 900, 1480, 980});
    dc.stretchImage(image, {1500, 900, 1540, 920});
}

struct Difference {
    long long differing = 0;
    long long inked = 0; // ink in either
};

Difference compare(const QImage& a, const QImage& b, const QRect& area) {
    Difference result;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x) {
            const bool inkA = qGray(a.pixel(x, y)) < 128, inkB = qGray(b.pixel(x, y)) < 128;
            result.differing += inkA != inkB;
            result.inked += inkA || inkB;
        }
    return result;
}

// The columns of each pixel row that hold ink, as a text line.
std::string rowProfile(const QImage& image, const QRect& area, int y) {
    std::string row;
    for (int x = area.left(); x <= area.right(); ++x)
        row.push_back(qGray(image.pixel(x, y)) < 128 ? '#' : '.');
    return row;
}

class PdfDirect : public ::testing::Test {
  protected:
    void SetUp() override {
        platformtest::ensureApplication();
        for (const char* tool : {"pdfinfo", "pdftotext", "pdffonts", "pdftoppm"})
            if (QStandardPaths::findExecutable(tool).isEmpty())
                GTEST_SKIP() << "poppler-utils is not installed";
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("direct.pdf");
    }

    // Writes pages through a target; draw gets the page number from 1.
    bool write(PageTarget& target, int pages, const std::function<void(DeviceContext&, int)>& draw,
               const std::string& title = "帳票テスト") {
        if (!target.beginDocument(title))
            return false;
        for (int page = 1; page <= pages; ++page) {
            target.beginPage();
            draw(target.deviceContext(), page);
            target.endPage();
        }
        return target.endDocument();
    }

    std::string localPath(const QString& name) const {
        return QFile::encodeName(m_dir.filePath(name)).toStdString();
    }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(PdfDirect, DocumentHasPagesPaperTitleAndExtractableText) {
    PdfDirectTarget target(QFile::encodeName(m_path).toStdString(), {2570, 3640}, kDpi);
    const bool written = write(target, 3, [](DeviceContext& dc, int page) {
        dc.selectFont({100, 0, 400, sjis("ＭＳ 明朝")});
        drawCells(dc, page == 2 ? "二頁目の倍角文字" : "請求書　帳票番号１２３", 300, 300, 120);
        dc.selectFont({100, 0, 400, sjis("ＭＳ ゴシック")});
        drawCells(dc, "ﾃｽﾄ ABC-789 合計", 300, 500, 120);
    });
    ASSERT_TRUE(written) << target.errorText();

    const QString info = QString::fromUtf8(runTool("pdfinfo", {m_path}));
    EXPECT_TRUE(info.contains(QRegularExpression("Pages:\\s+3\\n"))) << info.toStdString();
    // B4 portrait: 257 x 364 mm in points.
    EXPECT_TRUE(info.contains(QRegularExpression("Page size:\\s+728\\.50\\d* x 1031\\.81\\d* pts")))
        << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Title:\\s+帳票テスト\\n"))) << info.toStdString();
    EXPECT_TRUE(info.contains(QRegularExpression("Creator:\\s+tabrik zrk\\n"))) << info.toStdString();

    const QString page1 = withoutBlanks(runTool("pdftotext", {"-f", "1", "-l", "1", m_path, "-"}));
    const QString page2 = withoutBlanks(runTool("pdftotext", {"-f", "2", "-l", "2", m_path, "-"}));
    EXPECT_TRUE(page1.contains(QStringLiteral("請求書帳票番号１２３"))) << page1.toStdString();
    EXPECT_TRUE(page1.contains(QStringLiteral("ﾃｽﾄABC-789合計"))) << page1.toStdString();
    EXPECT_TRUE(page2.contains(QStringLiteral("二頁目の倍角文字"))) << page2.toStdString();
    EXPECT_FALSE(page2.contains(QStringLiteral("請求書"))) << page2.toStdString();
}

TEST_F(PdfDirect, FontsAreEmbeddedSubsetsOfTheResolvedFaces) {
    PdfDirectTarget target(QFile::encodeName(m_path).toStdString(), kPaper, kDpi);
    const QImage image = testImage();
    ASSERT_TRUE(write(target, 1, [&](DeviceContext& dc, int) { drawTestPage(dc, image); }));

    // pdffonts: two header lines, then one line per font ending in the
    // columns emb, sub, uni, object number and generation.
    const QStringList fonts =
        QString::fromUtf8(runTool("pdffonts", {m_path})).split('\n', Qt::SkipEmptyParts).mid(2);
    QStringList names;
    for (const QString& line : fonts) {
        const QStringList columns = line.split(' ', Qt::SkipEmptyParts);
        ASSERT_GT(columns.size(), 6) << line.toStdString();
        names << columns.front();
        EXPECT_EQ(columns[1], "CID") << line.toStdString();
        EXPECT_EQ(columns[columns.size() - 5], "yes") << "not embedded: " << line.toStdString();
        EXPECT_EQ(columns[columns.size() - 4], "yes") << "not a subset: " << line.toStdString();
        EXPECT_EQ(columns[columns.size() - 3], "yes") << "no ToUnicode: " << line.toStdString();
        EXPECT_TRUE(QRegularExpression("^[A-Z]{6}\\+").match(columns.front()).hasMatch())
            << line.toStdString();
    }
    names.sort();
    ASSERT_EQ(names.size(), 3) << fonts.join('\n').toStdString();
    EXPECT_TRUE(names[0].contains("+DejaVuSans")) << names[0].toStdString();
    EXPECT_TRUE(names[1].endsWith("+IPAGothic")) << names[1].toStdString();
    EXPECT_TRUE(names[2].endsWith("+IPAMincho")) << names[2].toStdString();

    // The DejaVu face has no kanji: those come from the fallback face, and
    // every character reads back in order.
    const QString text = withoutBlanks(runTool("pdftotext", {m_path, "-"}));
    EXPECT_TRUE(text.contains(QStringLiteral("Abc漢字xyz"))) << text.toStdString();
    EXPECT_TRUE(text.contains(QStringLiteral("倍角ABC"))) << text.toStdString();

    // A subset is far smaller than the face (IPAMincho is about 6 MB).
    EXPECT_LT(QFileInfo(m_path).size(), 200'000);
}

// The proof that the layout is the Qt painter's: the same page through the
// PNG target (QtPainterBackend on an image) and through this target rendered
// by poppler at the same resolution.
TEST_F(PdfDirect, PageRendersLikeTheQtPainterAt600Dpi) {
    const QImage image = testImage();
    PdfDirectTarget direct(QFile::encodeName(m_path).toStdString(), kPaper, kDpi);
    ASSERT_TRUE(write(direct, 1, [&](DeviceContext& dc, int) { drawTestPage(dc, image); }));
    PngPageTarget qt(localPath("qt-%d.png"), kPaper, kDpi);
    ASSERT_TRUE(write(qt, 1, [&](DeviceContext& dc, int) { drawTestPage(dc, image); }));

    runTool("pdftoppm", {"-r", "600", "-png", "-singlefile", m_path, m_dir.filePath("poppler")});
    const QImage fromPdf(m_dir.filePath("poppler.png"));
    const QImage fromQt(m_dir.filePath("qt-1.png"));
    ASSERT_FALSE(fromPdf.isNull());
    ASSERT_FALSE(fromQt.isNull());
    // Poppler rounds the page size up, the image target down.
    EXPECT_LE(std::abs(fromPdf.width() - fromQt.width()), 1);
    EXPECT_LE(std::abs(fromPdf.height() - fromQt.height()), 1);
    const QRect page = QRect(QPoint(), fromPdf.size()).intersected(QRect(QPoint(), fromQt.size()));

    // Lines, fills and the frame: every pixel row the same.
    for (int y = kLineBand.top(); y <= kLineBand.bottom(); ++y)
        ASSERT_EQ(rowProfile(fromPdf, kLineBand, y), rowProfile(fromQt, kLineBand, y)) << "pixel row " << y;

    // Text: the glyphs are smoothed by two different rasterisers, so edges
    // may differ by a pixel, but they stand in the same place.
    const Difference text = compare(fromPdf, fromQt, kTextBand);
    ASSERT_GT(text.inked, 20000);
    EXPECT_LT(double(text.differing) / double(text.inked), 0.03) << text.differing << " of " << text.inked;
    // Both smooth the stretched image; its edges may fall a few pixels apart.
    const Difference pictures = compare(fromPdf, fromQt, kImageBand);
    ASSERT_GT(pictures.inked, 80 * 80);
    EXPECT_LT(double(pictures.differing) / double(pictures.inked), 0.1) << pictures.differing;
    const Difference all = compare(fromPdf, fromQt, page);
    EXPECT_GE(1.0 - double(all.differing) / double(page.width()) / page.height(), 0.99);
    EXPECT_LT(double(all.differing) / double(all.inked), 0.03) << all.differing << " of " << all.inked;
}

TEST_F(PdfDirect, ImageIsWrittenOncePerDocument) {
    const QImage image = testImage();
    PdfDirectTarget target(QFile::encodeName(m_path).toStdString(), kPaper, kDpi);
    ASSERT_TRUE(write(target, 3, [&](DeviceContext& dc, int) {
        dc.stretchImage(image, {0, 0, 160, 80});
        dc.stretchImage(image, {200, 0, 240, 20});
    }));
    QFile file(m_path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    EXPECT_EQ(file.readAll().count("/Subtype/Image"), 1);
    EXPECT_TRUE(
        QString::fromUtf8(runTool("pdfinfo", {m_path})).contains(QRegularExpression("Pages:\\s+3\\n")));
}

TEST_F(PdfDirect, UnwritablePathFailsAtTheStartAndLeavesNothing) {
    PdfDirectTarget target(localPath("missing/folder/out.pdf"), kPaper, kDpi);
    EXPECT_FALSE(target.beginDocument("x"));
    EXPECT_FALSE(target.errorText().empty());
}

TEST_F(PdfDirect, UnfinishedDocumentLeavesNoFile) {
    {
        PdfDirectTarget target(QFile::encodeName(m_path).toStdString(), kPaper, kDpi);
        ASSERT_TRUE(target.beginDocument("x"));
        target.beginPage();
        target.deviceContext().fillRect({0, 0, 10, 10}, 0);
        target.endPage();
    }
    EXPECT_FALSE(QFile::exists(m_path));
    EXPECT_TRUE(QDir(m_dir.path()).entryList(QDir::Files).isEmpty());
}

TEST_F(PdfDirect, DocumentWithoutPagesStillOpens) {
    PdfDirectTarget target(QFile::encodeName(m_path).toStdString(), kPaper, kDpi);
    ASSERT_TRUE(write(target, 0, [](DeviceContext&, int) {}));
    EXPECT_TRUE(
        QString::fromUtf8(runTool("pdfinfo", {m_path})).contains(QRegularExpression("Pages:\\s+1\\n")));
}

// Pages whose faces, glyphs and images first appear on different pages, so
// that which lane meets what first matters.
void drawVariedPage(DeviceContext& dc, int page, const QImage& image) {
    const int height = 105 * kDpi / 720;
    switch (page % 4) {
    case 1:
        dc.selectFont({height, 0, 400, sjis("ＭＳ 明朝")});
        drawCells(dc, page == 1 ? "請求書" : "納品書　合計", 0, 20);
        break;
    case 2:
        drawTestPage(dc, image);
        break;
    case 3:
        dc.selectFont({height, 0, 400, sjis("ＭＳ ゴシック")});
        drawCells(dc, "品名 漢字 ABC", 0, 120);
        dc.stretchImage(image, {0, 300, 160, 380});
        break;
    default:
        dc.selectFont({height, 0, 400, sjis("DejaVu Sans")});
        drawCells(dc, "Abc帳票xyz", 0, 320);
        break;
    }
}

// Pages drawn on three lanes at once, each lane on its own thread and in its
// own order, make the same bytes as the pages drawn in turn.
TEST_F(PdfDirect, PagesDrawnOnLanesMakeTheSameFileAsPagesDrawnInTurn) {
    qputenv("SOURCE_DATE_EPOCH", "0");
    const QImage image = testImage();
    constexpr int kPages = 9, kLanes = 3;
    const std::string inTurnPath = localPath("in-turn.pdf");
    PdfDirectTarget inTurn(inTurnPath, kPaper, kDpi);
    ASSERT_TRUE(write(inTurn, kPages, [&](DeviceContext& dc, int page) { drawVariedPage(dc, page, image); }));

    PdfDirectTarget lanes(QFile::encodeName(m_path).toStdString(), kPaper, kDpi);
    ASSERT_TRUE(lanes.hasLanes());
    ASSERT_TRUE(lanes.beginDocument("帳票テスト"));
    std::vector<std::unique_ptr<DrawnPage>> drawn(kPages + 1);
    std::vector<std::thread> threads;
    for (int lane = 0; lane < kLanes; ++lane)
        threads.emplace_back([&, lane] {
            const std::unique_ptr<PageLane> surface = lanes.openLane();
            // The last lane draws its pages backwards.
            for (int k = 0; k < kPages / kLanes; ++k) {
                const int step = lane == kLanes - 1 ? kPages / kLanes - 1 - k : k;
                const int page = 1 + lane + kLanes * step;
                surface->beginPage();
                drawVariedPage(surface->deviceContext(), page, image);
                drawn[std::size_t(page)] = surface->endPage();
            }
        });
    for (std::thread& thread : threads)
        thread.join();
    for (int page = 1; page <= kPages; ++page)
        lanes.putPage(std::move(drawn[std::size_t(page)]));
    ASSERT_TRUE(lanes.endDocument());

    QFile a(QString::fromStdString(inTurnPath)), b(m_path);
    ASSERT_TRUE(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
    const QByteArray expected = a.readAll();
    EXPECT_EQ(expected.count("/Subtype/Image"), 1);
    EXPECT_TRUE(expected == b.readAll()) << "the file differs from the one drawn in turn";
}

// The painter is ended and begun again between PNG pages: the same page
// drawn again must come out the same, stretched image and all.
TEST_F(PdfDirect, PngPagesOfTheSameDrawingAreTheSameFiles) {
    const QImage image = testImage();
    PngPageTarget target(localPath("same-%d.png"), kPaper, 150);
    ASSERT_TRUE(write(target, 3, [&](DeviceContext& dc, int) {
        drawTestPage(dc, image);
        dc.stretchImage(image, {10, 10, 170, 90}); // on the page at 150 dpi
    }));
    QByteArray pages[3];
    for (int i = 0; i < 3; ++i) {
        QFile file(m_dir.filePath(QStringLiteral("same-%1.png").arg(i + 1)));
        ASSERT_TRUE(file.open(QIODevice::ReadOnly));
        pages[i] = file.readAll();
    }
    EXPECT_TRUE(pages[0] == pages[1] && pages[1] == pages[2]) << "a later page differs from the first";
}

} // namespace
