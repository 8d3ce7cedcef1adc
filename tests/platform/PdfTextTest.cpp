#include "platform/DeviceContext.h"
#include "platform/QtPainterBackend.h"
#include "tests/platform/TestApplication.h"

#include <QPainter>
#include <QPdfWriter>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryDir>

#include <gtest/gtest.h>

namespace {

using namespace platform;
using platformtest::sjis;

// Runs a poppler tool and returns its standard output.
QString runTool(const QString& program, const QStringList& arguments) {
    QProcess process;
    process.start(program, arguments);
    if (!process.waitForFinished(30000) || process.exitCode() != 0)
        return QStringLiteral("<%1 failed: %2>")
            .arg(program, QString::fromUtf8(process.readAllStandardError()));
    return QString::fromUtf8(process.readAllStandardOutput());
}

QString withoutBlanks(QString text) {
    text.removeIf([](QChar c) { return c.isSpace(); });
    return text;
}

// Spreads a text over the grid the way forms do: one cell per byte.
void drawCells(DeviceContext& dc, const char* utf8, int left, int top, int cellHeight) {
    const std::string text = sjis(utf8);
    const int half = dc.textMetrics().aveCharWidth;
    int x = left;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length =
            (static_cast<unsigned char>(text[i]) >= 0x81 && static_cast<unsigned char>(text[i]) <= 0x9F) ||
                    static_cast<unsigned char>(text[i]) >= 0xE0
                ? 2
                : 1;
        dc.drawChar(std::string_view(text).substr(i, length),
                    {x, top, x + half * int(length), top + cellHeight});
        x += half * int(length);
        i += length;
    }
}

class PdfText : public ::testing::Test {
  protected:
    void SetUp() override {
        platformtest::ensureApplication();
        if (QStandardPaths::findExecutable("pdftotext").isEmpty() ||
            QStandardPaths::findExecutable("pdffonts").isEmpty())
            GTEST_SKIP() << "poppler-utils is not installed";
        ASSERT_TRUE(m_dir.isValid());
        m_path = m_dir.filePath("page.pdf");
    }

    QTemporaryDir m_dir;
    QString m_path;
};

TEST_F(PdfText, JapaneseTextComesBackFromEveryPageWithEmbeddedFonts) {
    {
        QPdfWriter writer(m_path);
        writer.setResolution(600);
        writer.setPageSize(QPageSize(QPageSize::A4));
        writer.setPageMargins(QMarginsF(0, 0, 0, 0));
        QPainter painter(&writer);
        QtPainterBackend backend(painter, writer.resolution(), writer.resolution());
        DeviceContext dc(backend);
        // 10.5 point text at 600 dpi, as a form's base font would be.
        dc.selectFont({105 * 600 / 720, 0, 400, sjis("ＭＳ 明朝")});
        drawCells(dc, "請求書　帳票番号１２３", 300, 300, 120);
        dc.setTextColor(0x0000FF);
        dc.selectFont({105 * 600 / 720, 0, 400, sjis("ＭＳ ゴシック")});
        drawCells(dc, "ﾃｽﾄ ABC-789 合計", 300, 500, 120);
        dc.flush();
        writer.newPage();
        dc.selectFont({105 * 600 / 720, 105 * 600 / 720, 400, sjis("ＭＳ 明朝")});
        drawCells(dc, "二頁目の倍角文字", 300, 300, 120);
        dc.flush();
    }
    const QString page1 = withoutBlanks(runTool("pdftotext", {"-f", "1", "-l", "1", m_path, "-"}));
    const QString page2 = withoutBlanks(runTool("pdftotext", {"-f", "2", "-l", "2", m_path, "-"}));
    EXPECT_TRUE(page1.contains(QStringLiteral("請求書帳票番号１２３"))) << page1.toStdString();
    EXPECT_TRUE(page1.contains(QStringLiteral("ﾃｽﾄABC-789合計"))) << page1.toStdString();
    EXPECT_TRUE(page2.contains(QStringLiteral("二頁目の倍角文字"))) << page2.toStdString();

    // pdffonts: a header of two lines, then one line per font ending in the
    // columns emb, sub, uni and the object number and generation.
    const QStringList fonts = runTool("pdffonts", {m_path}).split('\n', Qt::SkipEmptyParts).mid(2);
    ASSERT_FALSE(fonts.isEmpty());
    bool mincho = false, gothic = false;
    for (const QString& line : fonts) {
        mincho |= line.contains("IPAMincho");
        gothic |= line.contains("IPAGothic");
        const QStringList columns = line.split(' ', Qt::SkipEmptyParts);
        ASSERT_GT(columns.size(), 5) << line.toStdString();
        EXPECT_EQ(columns[columns.size() - 5], "yes") << "not embedded: " << line.toStdString();
    }
    EXPECT_TRUE(mincho);
    EXPECT_TRUE(gothic);
}

} // namespace
