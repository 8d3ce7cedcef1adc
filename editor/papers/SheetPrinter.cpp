#include "editor/papers/SheetPrinter.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>

#include "editor/canvas/CanvasGeometry.h"
#include "editor/canvas/CanvasRenderer.h"
#include "formdesc/ShiftJis.h"
#include "render/BitmapCache.h"
#include "render/FieldRenderer.h"
#include "render/FigureRenderer.h"
#include "render/RenderContext.h"

namespace editor {

namespace {

namespace sjis = formdesc::sjis;
using platform::Pen;
using platform::PenStyle;
using platform::Rect;

constexpr platform::ColorRef kBlack = 0;
constexpr Pen kDefaultPen{PenStyle::Solid, 1, kBlack};
constexpr int kTextSize = 90;   // the sheet's own text: 9 points
constexpr int kNumberSize = 80; // labels and numbers: 8 points
constexpr int kSmallSize = 70;  // "100" squeezed into two cells
constexpr const char* kMincho = "ＭＳ 明朝";
constexpr const char* kGothic = "ＭＳ ゴシック";

std::string number(const char* format, int value) {
    char text[16];
    std::snprintf(text, sizeof text, format, value);
    return text;
}

} // namespace

SheetPrinter::SheetPrinter(platform::PageTarget& target, int kind, int dmPaperSize)
    : m_target(target), m_layout(SheetLayout::make(kind, dmPaperSize, target.dpiX(), target.dpiY())) {
    formdesc::copyText(m_base.fontName, sizeof m_base.fontName, sjis::fromUtf8(kMincho).c_str());
    m_base.fontSize = kTextSize;
    m_base.textColor = kBlack;
    m_base.lineType = formdesc::kLineSolid;
    m_base.lineWidth = 1;
    m_base.lineColor = kBlack;
}

std::string SheetPrinter::designJobName(std::string_view sjisName) {
    return "設計用紙 [" + sjis::toUtf8(sjisName) + "]";
}

std::string SheetPrinter::entryJobName() {
    return "記入用紙";
}

std::string SheetPrinter::cutText(std::string_view text, int maxBytes) {
    return std::string(sjis::cutWhole(text, static_cast<std::size_t>(std::max(maxBytes, 0))));
}

platform::LogFont SheetPrinter::sheetFont(std::string_view utf8Face, int sizeTenths) const {
    platform::LogFont font;
    font.height = formdesc::fontHeight(sizeTenths, m_layout.dpiY);
    font.weight = 400;
    font.faceName = sjis::fromUtf8(utf8Face);
    return font;
}

bool SheetPrinter::begin(const std::string& jobName) {
    if (!m_target.beginDocument(jobName))
        return false;
    m_target.beginPage();
    prepare();
    return true;
}

// The B4 layout on the paper printed on: on A4 it is scaled down as a whole.
void SheetPrinter::prepare() {
    m_dc = &m_target.deviceContext();
    m_dc->setMapMode(platform::MapMode::Isotropic);
    m_dc->setWindowExt(m_layout.logical.cx, m_layout.logical.cy);
    m_dc->setViewportExt(m_layout.viewport.cx, m_layout.viewport.cy);
    m_savedPen = m_dc->selectPen(kDefaultPen);
    m_savedColor = m_dc->setTextColor(kBlack);
    m_savedFont = m_dc->selectFont(render::FieldRenderer::baseFont(m_base, m_layout.dpiY));
}

void SheetPrinter::restore() {
    m_dc->selectFont(m_savedFont);
    m_dc->setTextColor(m_savedColor);
    m_dc->selectPen(m_savedPen);
}

SheetResult SheetPrinter::end() {
    restore();
    m_target.endPage();
    return m_target.endDocument() ? SheetResult::Printed : SheetResult::Unfinished;
}

SheetResult SheetPrinter::printEntrySheet() {
    if (!begin(entryJobName()))
        return SheetResult::CannotStart;
    const render::RenderContext context{*m_dc, m_layout.formGeometry(), render::RenderPolicy::sheet(nullptr),
                                        m_layout.dpiY};
    drawGridPaper();
    drawFineGrid(context);
    return end();
}

SheetResult SheetPrinter::printDesignSheet(const formdesc::FormModel& model, const SheetSettings& settings,
                                           render::BitmapCache& bitmaps, const QImage* placeholder) {
    if (!begin(designJobName(settings.name)))
        return SheetResult::CannotStart;
    const render::RenderContext context{*m_dc, m_layout.formGeometry(),
                                        render::RenderPolicy::sheet(placeholder), m_layout.dpiY};
    drawGridPaper();
    drawHeaderValues(settings);
    if (!settings.noFills)
        drawFills(context, model);
    drawFineGrid(context);
    CanvasRenderer::drawFigures(context, m_base, model, bitmaps);
    drawFields(context, model, settings);
    return end();
}

void SheetPrinter::gridLine(int col1, int row1, int col2, int row2) {
    const platform::Point from = m_layout.gridPoint(col1, row1);
    const platform::Point to = m_layout.gridPoint(col2, row2);
    m_dc->moveTo(from.x, from.y);
    m_dc->lineTo(to.x, to.y);
}

void SheetPrinter::frame(const Rect& box) {
    m_dc->moveTo(box.left, box.top);
    m_dc->lineTo(box.left, box.bottom);
    m_dc->moveTo(box.left, box.bottom);
    m_dc->lineTo(box.right, box.bottom);
    m_dc->moveTo(box.right, box.top);
    m_dc->lineTo(box.right, box.bottom);
    m_dc->moveTo(box.left, box.top);
    m_dc->lineTo(box.right, box.top);
}

void SheetPrinter::gridFrame(int col1, int row1, int col2, int row2) {
    const platform::Point a = m_layout.gridPoint(col1, row1);
    const platform::Point b = m_layout.gridPoint(col2, row2);
    frame({a.x, a.y, b.x, b.y});
}

// Characters laid side by side at the font's half-width advance (the
// sheet's faces are fixed-pitch), each clipped at the box's right edge.
void SheetPrinter::plainText(std::string_view text, const Rect& box, bool centred) {
    const platform::TextMetrics tm = m_dc->textMetrics();
    const long long width = static_cast<long long>(text.size()) * tm.aveCharWidth;
    long long x = box.left;
    if (centred)
        x += (box.right - box.left - width) / 2;
    for (std::size_t i = 0; i < text.size();) {
        const std::size_t length = sjis::charLength(text, i);
        const long long right =
            std::min<long long>(x + static_cast<long long>(length) * tm.aveCharWidth, box.right);
        if (x >= box.right)
            break;
        if (text[i] != ' ')
            m_dc->drawChar(text.substr(i, length),
                           {static_cast<int>(x), box.top, static_cast<int>(right), box.bottom});
        x += static_cast<long long>(length) * tm.aveCharWidth;
        i += length;
    }
}

// The header, the frame, the rulers with their ticks and the numbers of
// every column and row. A, B and C are the last grid column, the last grid
// row and the column of the right-hand row numbers.
void SheetPrinter::drawGridPaper() {
    const int a = m_layout.lastGridColumn();
    const int b = m_layout.lastGridRow();
    const int c = m_layout.numberColumn();

    m_dc->selectPen({PenStyle::Solid, 3, kBlack});
    gridFrame(1, 1, a, 4);
    gridLine(43, 1, 43, 4);
    gridLine(65, 1, 65, 4);
    m_dc->selectPen({PenStyle::Solid, 4, kBlack});
    gridFrame(1, 5, a, b);
    m_dc->selectPen(kDefaultPen);
    gridLine(3, 6, c, 6);
    gridLine(1, 7, a, 7);
    for (int i = 8; i <= b - 2; ++i) {
        gridLine(1, i, 3, i);
        gridLine(c, i, a, i);
    }
    gridLine(1, b - 1, a, b - 1);
    gridLine(3, 5, 3, b);
    for (int i = 4; i <= c - 1; ++i) {
        gridLine(i, (i - 3) % 10 == 0 ? 5 : 6, i, 7);
        gridLine(i, b - 1, i, b);
    }
    gridLine(c, 5, c, b);

    m_dc->selectFont(sheetFont(kGothic, kNumberSize));
    plainText(sjis::fromUtf8("名称："), m_layout.fullCellBox(2, 1, 7, 1), false);
    plainText(sjis::fromUtf8("日付："), m_layout.fullCellBox(44, 1, 49, 1), false);
    plainText(sjis::fromUtf8("備考："), m_layout.fullCellBox(66, 1, 91, 1), false);
    const int columns = m_layout.formColumnsShown();
    for (int n = 10; n <= columns; n += 10)
        plainText(number("%3d", n), m_layout.fullCellBox(n, 5, n + kFormColumnShift, 5), false);
    for (int n = 1; n <= columns; ++n) {
        const std::string digit = number("%1d", n % 10);
        const int col = n + kFormColumnShift;
        plainText(digit, m_layout.fullCellBox(col, 6, col, 6), false);
        plainText(digit, m_layout.fullCellBox(col, b - 1, col, b - 1), false);
    }
    const int rows = m_layout.kind == kSheetPortrait ? 99 : m_layout.formRowsShown();
    const auto rowNumber = [&](int n) {
        const int row = n + kFormRowShift;
        plainText(number("%2d", n), m_layout.fullCellBox(1, row, 2, row), true);
        plainText(number("%2d", n), m_layout.fullCellBox(c, row, c + 1, row), true);
    };
    for (int n = 1; n <= rows; ++n)
        rowNumber(n);
    if (m_layout.kind == kSheetPortrait) {
        m_dc->selectFont(sheetFont(kGothic, kSmallSize));
        rowNumber(100);
    }
    m_dc->selectFont(render::FieldRenderer::baseFont(m_base, m_layout.dpiY));
}

// Dense dots on every inner row and column line of the form area.
void SheetPrinter::drawFineGrid(const render::RenderContext& context) {
    render::FigureRenderer figures(context, m_base);
    const int b = m_layout.lastGridRow();
    const int c = m_layout.numberColumn();
    m_dc->selectPen(kDefaultPen);
    for (int i = 8; i <= b - 2; ++i)
        figures.drawSegment(m_layout.gridPoint(3, i), m_layout.gridPoint(c, i), formdesc::kLineDenseDots, 1);
    for (int i = 4; i <= c - 1; ++i)
        figures.drawSegment(m_layout.gridPoint(i, 7), m_layout.gridPoint(i, b), formdesc::kLineDenseDots, 1);
}

void SheetPrinter::drawHeaderValues(const SheetSettings& settings) {
    const std::string name = cutText(settings.name, kNameBytes);
    if (!name.empty())
        plainText(name, m_layout.fullCellBox(9, 1, 8 + static_cast<int>(name.size()), 2), false);
    if (settings.date != 0)
        plainText(formatSheetDate(settings.date), m_layout.fullCellBox(51, 1, 60, 2), false);
    const std::string remarks = cutText(settings.remarks, kRemarksBytes);
    if (!remarks.empty())
        plainText(remarks, m_layout.fullCellBox(73, 1, 72 + static_cast<int>(remarks.size()), 2), false);
}

void SheetPrinter::drawFills(const render::RenderContext& context, const formdesc::FormModel& model) {
    CanvasRenderer::drawRectFills(context, m_base, model);
    for (int i = 0; i < model.fieldCount; ++i) {
        const formdesc::FieldInfo& field = model.fields[static_cast<std::size_t>(i)];
        if (field.mesh)
            m_dc->fillRect(CanvasGeometry::fieldBox(context.geometry, CanvasGeometry::spanOf(field)),
                           field.meshColor);
    }
}

SheetPrinter::TextScale SheetPrinter::textScale(const formdesc::FormInfo& form) const {
    int width = 0;
    int height = 0;
    if (!formdesc::pageSizeTenths(form.paperSize, form.direction, width, height))
        return {};
    const formdesc::PageGeometry cells =
        formdesc::printerGeometry(width, height, form, m_layout.dpiX, m_layout.dpiY);
    if (cells.cellW <= 0 || cells.cellH <= 0 || m_layout.cellW <= 0 || m_layout.cellH <= 0)
        return {};
    // Whichever of height and width the sheet's cell shrinks more: a text
    // spread over its columns must not run into its neighbours either.
    if (std::int64_t{m_layout.cellH} * cells.cellW <= std::int64_t{m_layout.cellW} * cells.cellH)
        return {m_layout.cellH, cells.cellH};
    return {m_layout.cellW, cells.cellW};
}

// Each field's frame (when asked for) comes right before its text. The
// text is scaled from the form's cell to the sheet's, so that it keeps
// inside the cells it has on the form.
void SheetPrinter::drawFields(const render::RenderContext& context, const formdesc::FormModel& model,
                              const SheetSettings& settings) {
    render::FieldRenderer fields(context, m_base);
    const TextScale scale = textScale(model.form);
    for (int i = 0; i < model.fieldCount; ++i) {
        formdesc::FieldInfo field = model.fields[static_cast<std::size_t>(i)];
        field.fontSize = static_cast<std::int32_t>(
            std::max<std::int64_t>(std::int64_t{field.fontSize} * scale.sheet / scale.form, 1));
        if (settings.frameFields) {
            const Pen previous = m_dc->selectPen({PenStyle::Solid, 3, field.textColor});
            frame(CanvasGeometry::fieldBox(context.geometry, CanvasGeometry::spanOf(field)));
            m_dc->selectPen(previous);
        }
        CanvasRenderer::drawFieldSample(fields, context, field);
    }
}

} // namespace editor
