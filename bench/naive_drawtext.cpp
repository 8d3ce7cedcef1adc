// The floor for the form renderer: the pages of a row-mode data file drawn
// into a 600 dpi PDF with one QPainter::drawText call per character, each at
// its own cell, in the font of the field that covers the cell (constants
// filled in), over the form's fills, lines and frames with their repetitions.
// No glyph runs, no font caching beyond one QFont per field.
//
//   bench_naive_drawtext FORM DATA OUT.pdf [--pages N]
//
// Run with QT_QPA_PLATFORM=offscreen on a machine without a display.
#include "formdesc/FormModel.h"
#include "formdesc/FormReader.h"
#include "formdesc/PageGeometry.h"
#include "formdesc/ShiftJis.h"
#include "formdesc/TextLineReader.h"

#include <QColor>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPageSize>
#include <QPainter>
#include <QPdfWriter>
#include <QPen>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include <fcntl.h>

namespace {

constexpr int kDpi = 600;

QColor colorOf(formdesc::ColorRef c) {
    return QColor(c & 0xFF, (c >> 8) & 0xFF, (c >> 16) & 0xFF);
}

// A text face as the form names it, on the IPA faces of this machine.
struct TextStyle {
    QFont font;
    QColor color;
    double baselineOffset = 0; // from the top of a cell
};

TextStyle makeStyle(std::string_view sjisFace, int sizeTenths, bool wide, formdesc::ColorRef color,
                    const formdesc::PageGeometry& grid, QPaintDevice* device) {
    const std::string face = formdesc::sjis::toUtf8(sjisFace);
    const bool mincho = face.find("明朝") != std::string::npos;
    QFont font(mincho ? QStringLiteral("IPAMincho") : QStringLiteral("IPAGothic"));
    font.setPixelSize(std::max(1, formdesc::fontHeight(sizeTenths, kDpi)));
    if (wide)
        font.setStretch(200);
    QFontMetricsF metrics(font, device);
    TextStyle style{font, colorOf(color), 0};
    style.baselineOffset = (grid.cellH + metrics.ascent() - metrics.descent()) / 2.0;
    return style;
}

Qt::PenStyle penStyle(int lineType) {
    switch (lineType) {
    case formdesc::kLineDenseDots:
    case formdesc::kLineCoarseDots:
        return Qt::DotLine;
    case formdesc::kLineDash:
        return Qt::DashLine;
    case formdesc::kLineDashDot:
        return Qt::DashDotLine;
    case formdesc::kLineDashDotDot:
        return Qt::DashDotDotLine;
    default:
        return Qt::SolidLine;
    }
}

void drawFigures(QPainter& painter, const formdesc::FormModel& model, const formdesc::PageGeometry& grid) {
    auto forEachCopy = [&grid](const formdesc::FigureInfo& f, auto&& draw) {
        const int count = f.loopDir == formdesc::kLoopNone ? 0 : f.loopCount;
        for (int k = 0; k <= count; ++k) {
            const int dc = f.loopDir == formdesc::kLoopH ? k * f.loopPitch : 0;
            const int dr = f.loopDir == formdesc::kLoopV ? k * f.loopPitch : 0;
            draw(
                formdesc::figurePoints(grid, f.startCol + dc, f.startRow + dr, f.endCol + dc, f.endRow + dr));
        }
    };
    painter.setPen(Qt::NoPen);
    for (int i = 0; i < model.figureCount; ++i) {
        const auto& f = model.figures[i];
        if (f.kind == formdesc::kKindRect && f.meshKind() != formdesc::kMeshFrameOnly)
            forEachCopy(f, [&](const formdesc::FigurePoints& p) {
                painter.fillRect(QRect(QPoint(p.x1 + 1, p.y1 + 1), QPoint(p.x2 - 1, p.y2 - 1)),
                                 colorOf(f.meshColor));
            });
    }
    for (int i = 0; i < model.figureCount; ++i) {
        auto f = model.figures[i];
        if (f.kind != formdesc::kKindLine && f.kind != formdesc::kKindRect)
            continue;
        painter.setPen(QPen(colorOf(f.lineColor), f.lineWidth, penStyle(f.lineType)));
        if (f.kind == formdesc::kKindRect) {
            if (f.meshKind() == formdesc::kMeshFillOnly)
                continue;
            forEachCopy(f, [&](const formdesc::FigurePoints& p) {
                painter.drawLine(p.x1, p.y1, p.x1, p.y2);
                painter.drawLine(p.x1, p.y2, p.x2, p.y2);
                painter.drawLine(p.x2, p.y1, p.x2, p.y2);
                painter.drawLine(p.x1, p.y1, p.x2, p.y1);
            });
            continue;
        }
        if ((f.course == formdesc::kCourseLU && f.endRow < f.startRow) ||
            (f.course == formdesc::kCourseRU && f.startRow < f.endRow))
            std::swap(f.startRow, f.endRow);
        forEachCopy(f, [&](const formdesc::FigurePoints& p) {
            painter.drawLine(p.x1, p.y1, p.x2, f.course == formdesc::kCourseH ? p.y1 : p.y2);
        });
    }
}

// Unicode of one Shift-JIS character (1 or 2 bytes), cached.
class CharCache {
  public:
    QChar at(const unsigned char* bytes, int length) {
        const unsigned key = length == 2 ? (bytes[0] << 8 | bytes[1]) : bytes[0];
        auto it = m_cache.find(key);
        if (it != m_cache.end())
            return it->second;
        const std::string utf8 =
            formdesc::sjis::toUtf8({reinterpret_cast<const char*>(bytes), std::size_t(length)});
        const QString text = QString::fromUtf8(utf8.data(), qsizetype(utf8.size()));
        const QChar c = text.isEmpty() ? QChar(0xFFFD) : text.front();
        m_cache.emplace(key, c);
        return c;
    }

  private:
    std::unordered_map<unsigned, QChar> m_cache;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    if (argc < 4) {
        std::fprintf(stderr, "usage: %s FORM DATA OUT.pdf [--pages N]\n", argv[0]);
        return 2;
    }
    long maxPages = -1;
    if (argc >= 6 && std::strcmp(argv[4], "--pages") == 0)
        maxPages = std::strtol(argv[5], nullptr, 10);

    const auto start = std::chrono::steady_clock::now();
    auto model = std::make_unique<formdesc::FormModel>();
    formdesc::PageSizeTenths page;
    if (!formdesc::readFormFile(argv[1], *model, formdesc::ReaderVariant::Print, &page))
        return 1;
    const formdesc::FormInfo& form = model->form;
    const int data = ::open(argv[2], O_RDONLY | O_CLOEXEC);
    if (data < 0) {
        std::fprintf(stderr, "cannot open %s\n", argv[2]);
        return 1;
    }
    formdesc::TextLineReader lines(data);

    QPdfWriter writer(QString::fromLocal8Bit(argv[3]));
    writer.setResolution(kDpi);
    const bool landscape = page.width > page.height;
    const QPageSize size(
        QSizeF(std::min(page.width, page.height) / 10.0, std::max(page.width, page.height) / 10.0),
        QPageSize::Millimeter, QString(), QPageSize::FuzzyMatch);
    writer.setPageLayout(
        QPageLayout(size, landscape ? QPageLayout::Landscape : QPageLayout::Portrait, QMarginsF(0, 0, 0, 0)));
    QPainter painter;
    if (!painter.begin(&writer)) {
        std::fprintf(stderr, "cannot write %s\n", argv[3]);
        return 1;
    }
    const formdesc::PageGeometry grid = formdesc::printerGeometry(page.width, page.height, form, kDpi, kDpi);

    // Style 0 is the form's base font; style f + 1 is field f's. Each cell
    // knows the style of the field that covers it.
    std::vector<TextStyle> styles;
    styles.push_back(
        makeStyle(formdesc::sjis::view(form.fontName), form.fontSize, false, form.textColor, grid, &writer));
    std::vector<std::vector<int>> cellStyle(form.rows, std::vector<int>(form.columns, 0));
    for (int i = 0; i < model->fieldCount; ++i) {
        const auto& f = model->fields[i];
        styles.push_back(
            makeStyle(formdesc::sjis::view(f.fontName), f.fontSize, f.wide != 0, f.textColor, grid, &writer));
        for (int r = f.startRow; r <= f.endRow && r <= form.rows; ++r)
            for (int c = f.startCol; c <= f.endCol && c <= form.columns; ++c)
                cellStyle[r - 1][c - 1] = i + 1;
    }

    CharCache chars;
    std::vector<std::string> records;
    std::string part;
    long pages = 0;
    long calls = 0;
    auto printPage = [&] {
        if (pages > 0)
            writer.newPage();
        ++pages;
        drawFigures(painter, *model, grid);
        for (int i = 0; i < model->fieldCount; ++i) {
            const auto& f = model->fields[i];
            const std::string_view text = formdesc::sjis::view(f.constText);
            if (text.empty() || f.startRow > int(records.size()))
                continue;
            std::string& record = records[f.startRow - 1];
            const std::size_t width = f.endCol - f.startCol + 1;
            record.replace(
                f.startCol - 1, width,
                std::string(text.substr(0, width)).append(width - std::min(width, text.size()), ' '));
        }
        int current = -1;
        for (std::size_t row = 0; row < records.size(); ++row) {
            const auto* bytes = reinterpret_cast<const unsigned char*>(records[row].data());
            const int top = grid.originY + int(row) * grid.cellH;
            for (int col = 0; col < form.columns;) {
                const int length = formdesc::sjis::isLeadByte(bytes[col]) && col + 1 < form.columns ? 2 : 1;
                if (bytes[col] != ' ') {
                    const int style = cellStyle[row][col];
                    if (style != current) {
                        painter.setFont(styles[style].font);
                        painter.setPen(styles[style].color);
                        current = style;
                    }
                    const QPointF at(grid.originX + col * grid.cellW, top + styles[style].baselineOffset);
                    painter.drawText(at, QString(chars.at(bytes + col, length)));
                    ++calls;
                }
                col += length;
            }
        }
        records.clear();
    };
    while (lines.next(part, 255)) {
        std::string record(256, ' ');
        for (std::size_t i = 0; i < part.size() && int(i) < form.columns; ++i)
            if (part[i] != ' ' && part[i] != '\t' && part[i] != '\n')
                record[i] = part[i];
        records.push_back(std::move(record));
        if (int(records.size()) == form.rows) {
            printPage();
            if (maxPages > 0 && pages >= maxPages)
                break;
        }
    }
    if (!records.empty() && (maxPages <= 0 || pages < maxPages))
        printPage();
    painter.end();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf(
        "naive drawText: %ld pages, %ld drawText calls in %.2f s = %.1f pages/s (%.0f characters/s)\n", pages,
        calls, seconds, pages / seconds, calls / seconds);
    return pages > 0 ? 0 : 1;
}
