#include <gtest/gtest.h>

#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>

#include <memory>

#include "editor/papers/SheetOutput.h"
#include "formdesc/FormReader.h"
#include "formdesc/ShiftJis.h"
#include "platform/PageTarget.h"
#include "tests/support/RecordingBackend.h"
#include "tests/support/TempFolder.h"

using editor::SheetLayout;
using editor::SheetOutcome;
using editor::SheetOutput;
using editor::SheetRequest;

// The sheets written to PDF and read back with the poppler tools: the texts
// with pdftotext, the page with pdfinfo, the lines in pixels from pdftoppm.
namespace {

constexpr int kPngDpi = 100;

QString tool(const char* name) {
    return QStandardPaths::findExecutable(QString::fromLatin1(name));
}

QString run(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    process.waitForFinished(60000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

class SheetPdf : public testing::Test {
  protected:
    void SetUp() override {
        if (tool("pdftotext").isEmpty() || tool("pdftoppm").isEmpty() || tool("pdfinfo").isEmpty())
            GTEST_SKIP() << "poppler-utils are not installed";
        m_invoice = std::make_unique<formdesc::FormModel>();
        ASSERT_TRUE(formdesc::readFormFile(ZRK_SOURCE_DIR "/examples/invoice.zrk", *m_invoice,
                                           formdesc::ReaderVariant::Designer));
    }

    // Writes the sheet; returns the PDF's path.
    QString write(const char* name, int kind, int paper, bool design) {
        SheetRequest request;
        request.settings.kind = kind;
        if (design) {
            request.model = m_invoice.get();
            request.formFolder = ZRK_SOURCE_DIR "/examples";
            request.settings.name = formdesc::sjis::view(m_invoice->form.title);
            request.settings.date = 20010203;
        }
        const std::string path = (m_folder.path() / name).string();
        std::string error;
        EXPECT_EQ(SheetOutput::writePdf(path, paper, request, error), SheetOutcome::Printed) << error;
        return QString::fromStdString(path);
    }

    static QString text(const QString& pdf) { return run(tool("pdftotext"), {"-layout", pdf, "-"}); }
    static QString pageSize(const QString& pdf) {
        const QString info = run(tool("pdfinfo"), {pdf});
        const qsizetype at = info.indexOf("Page size:");
        return info.mid(at, info.indexOf('\n', at) - at).simplified();
    }
    QImage png(const QString& pdf) {
        const QString prefix = QString::fromStdString((m_folder.path() / "page").string());
        run(tool("pdftoppm"), {"-r", QString::number(kPngDpi), "-gray", "-png", "-singlefile", pdf, prefix});
        return QImage(prefix + ".png").convertToFormat(QImage::Format_Grayscale8);
    }

    std::unique_ptr<formdesc::FormModel> m_invoice;
    TempFolder m_folder;
};

// The device mapping of a sheet written at SheetOutput's resolution, in PNG pixels.
struct PageMapping {
    testsupport::RecordingBackend backend{SheetOutput::kPdfDpi, SheetOutput::kPdfDpi};
    platform::DeviceContext dc{backend};
    SheetLayout layout;

    explicit PageMapping(int kind, int paper) : layout(SheetLayout::make(kind, paper, 600, 600)) {
        dc.setMapMode(platform::MapMode::Isotropic);
        dc.setWindowExt(layout.logical.cx, layout.logical.cy);
        dc.setViewportExt(layout.viewport.cx, layout.viewport.cy);
        const int offset = platform::printableOffset(SheetOutput::kPdfDpi);
        dc.setDeviceOffset(offset, offset);
    }
    platform::Point pixel(int col, int row) const {
        const platform::Point d = dc.lpToDp(layout.gridPoint(col, row));
        return {d.x * kPngDpi / SheetOutput::kPdfDpi, d.y * kPngDpi / SheetOutput::kPdfDpi};
    }
};

// The share of dark pixels along a vertical run at x (one pixel either side
// counts, for rounding).
double darkColumn(const QImage& image, int x, int y1, int y2) {
    int dark = 0;
    for (int y = y1; y <= y2; ++y) {
        int least = 255;
        for (int dx = -1; dx <= 1; ++dx)
            if (x + dx >= 0 && x + dx < image.width())
                least = std::min(least, qGray(image.pixel(x + dx, y)));
        dark += least < 128 ? 1 : 0;
    }
    return double(dark) / (y2 - y1 + 1);
}

double darkRow(const QImage& image, int y, int x1, int x2) {
    int dark = 0;
    for (int x = x1; x <= x2; ++x) {
        int least = 255;
        for (int dy = -1; dy <= 1; ++dy)
            if (y + dy >= 0 && y + dy < image.height())
                least = std::min(least, qGray(image.pixel(x, y + dy)));
        dark += least < 128 ? 1 : 0;
    }
    return double(dark) / (x2 - x1 + 1);
}

} // namespace

TEST_F(SheetPdf, DesignSheetCarriesNumbersHeaderAndSampleTexts) {
    const QString pdf = write("design.pdf", editor::kSheetLandscape, editor::kSheetPaperA4, true);
    EXPECT_EQ(pageSize(pdf), "Page size: 841.89 x 595.276 pts (A4)");
    const QString page = text(pdf);
    for (const char* expected : {"名称：", "日付：", "備考：", "請求書", "2001/02/03", "ご請求金額",
                                 "XXXXXXXXXXXXXX", "9999999999999", " 10 ", " 200", "1234567890"}) {
        EXPECT_TRUE(page.contains(QString::fromUtf8(expected))) << expected;
    }
    // Row numbers on both sides of the first and the last form row.
    for (const char* row : {"^ ?1 .* 1$", "^66 .*66$"})
        EXPECT_TRUE(page.contains(QRegularExpression(row, QRegularExpression::MultilineOption))) << row;
}

TEST_F(SheetPdf, EntrySheetHasNoFormTexts) {
    const QString pdf = write("entry.pdf", editor::kSheetPortrait, editor::kSheetPaperA4, false);
    EXPECT_EQ(pageSize(pdf), "Page size: 595.276 x 841.89 pts (A4)");
    const QString page = text(pdf);
    EXPECT_TRUE(page.contains(QStringLiteral("名称：")));
    EXPECT_TRUE(page.contains(QStringLiteral(" 130")));
    EXPECT_TRUE(page.contains(QStringLiteral("100")));
    for (const char* absent : {"請求書", "XXXX", "9999", "2001/"})
        EXPECT_FALSE(page.contains(QString::fromUtf8(absent))) << absent;
}

// The frame's right side and the line under the digit row lie where the
// layout puts them: on A4 the B4 layout shrinks as a whole (its right edge
// would fall off an A4 page otherwise), on B4 it is printed 1:1.
TEST_F(SheetPdf, GridLinesLieWhereTheLayoutSays) {
    const struct {
        int paper;
        const char* size;
    } rows[] = {{editor::kSheetPaperA4, "Page size: 841.89 x 595.276 pts (A4)"},
                {editor::kSheetPaperB4, "Page size: 1031.81 x 728.504 pts"}};
    for (const auto& row : rows) {
        SCOPED_TRACE(row.size);
        const QString pdf = write("grid.pdf", editor::kSheetLandscape, row.paper, true);
        EXPECT_EQ(pageSize(pdf), row.size);
        const QImage image = png(pdf);
        ASSERT_FALSE(image.isNull());
        const PageMapping mapping(editor::kSheetLandscape, row.paper);
        const platform::Point top = mapping.pixel(205, 5);
        const platform::Point bottom = mapping.pixel(205, 74);
        ASSERT_LT(top.x + 4, image.width());
        EXPECT_GT(darkColumn(image, top.x, top.y, bottom.y), 0.95);
        EXPECT_LT(darkColumn(image, top.x + 4, top.y, bottom.y), 0.05); // outside the frame
        const platform::Point left = mapping.pixel(1, 7);
        EXPECT_GT(darkRow(image, left.y, left.x, mapping.pixel(205, 7).x), 0.95);
    }
}
