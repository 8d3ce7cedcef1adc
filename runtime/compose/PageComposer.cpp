#include "runtime/compose/PageComposer.h"

#include <algorithm>
#include <cstring>

#include "formdesc/Barcode.h"
#include "formdesc/MessageSink.h"
#include "formdesc/ShiftJis.h"
#include "render/FigureRenderer.h"
#include "runtime/compose/PageRules.h"
#include "runtime/compose/RecordTextRenderer.h"

namespace runtime {

namespace {

constexpr int kCells = static_cast<int>(sizeof(DataRecord::text));

// Columns first..last of the record, clamped to its cells; empty when the
// range misses them.
std::span<char> cellsOf(DataRecord& record, int first, int last) {
    first = std::max(first, 1);
    last = std::min(last, kCells);
    if (first > last)
        return {};
    return {record.text + (first - 1), static_cast<std::size_t>(last - first + 1)};
}

bool isFill(const formdesc::FigureInfo& figure) {
    return figure.kind == formdesc::kKindRect &&
           (figure.meshKind() == formdesc::kMeshFillOnly || figure.meshKind() == formdesc::kMeshFrameAndFill);
}

} // namespace

PreparedDeviceContext::PreparedDeviceContext(platform::DeviceContext& dc, const formdesc::FormInfo& form,
                                             const render::RenderPolicy& policy, int dpiY)
    : m_dc(dc) {
    m_font = dc.selectFont(render::FieldRenderer::baseFont(form, dpiY));
    m_textColor = dc.setTextColor(form.textColor);
    m_pen = dc.selectPen(render::FigureRenderer::defaultPen(form, policy));
}

PreparedDeviceContext::~PreparedDeviceContext() {
    m_dc.selectPen(m_pen);
    m_dc.setTextColor(m_textColor);
    m_dc.selectFont(m_font);
}

PageComposer::PageComposer(const formdesc::FormModel& model, std::filesystem::path formFolder, PageUse use)
    : m_model(model), m_bitmaps(std::move(formFolder)), m_use(use) {}

PageComposer::~PageComposer() = default;

void PageComposer::composePage(const render::RenderContext& context, PageBuffer& page, int pageNumber) {
    const formdesc::FormInfo& form = m_model.form;
    const bool tagMode = form.tagMode == 1;

    drawFills(context);
    if (tagMode) {
        RecordTextRenderer fields(context, form);
        for (int j = 0; j < page.count(); ++j)
            for (int f = 0; f < m_model.fieldCount; ++f) {
                const formdesc::FieldInfo& field = m_model.fields[static_cast<std::size_t>(f)];
                if (field.mesh && fieldAppliesTo(field, page[j], j, tagMode))
                    fields.drawFieldShading(field, j + 1);
            }
    }

    // Constant texts go into the records first: a barcode that takes a field
    // encodes what the field prints. They draw nothing themselves.
    applyConstantTexts(page);
    drawFigures(context, page, pageNumber);

    if (m_use == PageUse::Recompose) {
        if (!m_workingCopy)
            m_workingCopy = std::make_unique<PageBuffer>();
        *m_workingCopy = page;
        drawTexts(context, *m_workingCopy);
    } else {
        drawTexts(context, page);
    }
}

// All fills come before any frame or line, so that no fill covers a line.
void PageComposer::drawFills(const render::RenderContext& context) {
    render::FigureRenderer renderer(context, m_model.form);
    for (int i = 0; i < m_model.figureCount; ++i) {
        const formdesc::FigureInfo& figure = m_model.figures[static_cast<std::size_t>(i)];
        if (isFill(figure))
            renderer.drawRectFill(figure);
    }
}

void PageComposer::drawFigures(const render::RenderContext& context, const PageBuffer& page, int pageNumber) {
    render::FigureRenderer renderer(context, m_model.form);
    const std::span<const formdesc::FieldInfo> fields(m_model.fields.data(),
                                                      static_cast<std::size_t>(m_model.fieldCount));
    for (int i = 0; i < m_model.figureCount; ++i) {
        const formdesc::FigureInfo& figure = m_model.figures[static_cast<std::size_t>(i)];
        if (figure.kind == formdesc::kKindBitmap) {
            renderer.drawBitmap(figure, m_bitmaps);
            continue;
        }
        if (figure.kind == formdesc::kKindBarcode) {
            const std::string content = barcodeContent(formdesc::barcodeOf(figure), fields, page.records(),
                                                       m_model.form.tagMode == 1);
            if (content.empty())
                continue; // a field without data on this page prints nothing either
            const render::BarcodeSymbol& symbol = renderer.drawBarcode(figure, m_barcodes, content);
            if (!symbol.ok())
                warnBarcode(i, pageNumber, symbol.error);
            continue;
        }
        renderer.selectFigurePen(figure);
        if (figure.kind == formdesc::kKindLine)
            renderer.drawLine(figure);
        else if (figure.kind == formdesc::kKindRect && figure.meshKind() != formdesc::kMeshFillOnly)
            renderer.drawRectFrame(figure);
        renderer.restorePen();
    }
}

// "3 ページ目のバーコード（図形 2、QR、フィールド AMOUNT）を印刷できません: reason", once
// per item and job: the page still prints, with a cross in the barcode's box.
void PageComposer::warnBarcode(int figureIndex, int pageNumber, const std::string& reason) {
    const auto index = static_cast<std::size_t>(figureIndex);
    if (m_barcodeWarned.size() <= index)
        m_barcodeWarned.resize(index + 1);
    if (m_barcodeWarned[index])
        return;
    m_barcodeWarned[index] = true;
    const formdesc::BarcodeAttributes barcode = formdesc::barcodeOf(m_model.figures[index]);
    std::string text;
    if (pageNumber > 0)
        text += std::to_string(pageNumber) + " ページ目の";
    text += "バーコード（図形 " + std::to_string(figureIndex + 1) + "、" +
            std::string(formdesc::barcodeTypeName(barcode.type)) + "、" +
            (barcode.fromField ? "フィールド " + formdesc::sjis::toUtf8(barcode.text)
                               : "固定値 " + formdesc::sjis::toUtf8(barcode.text)) +
            "）を印刷できません: " + reason;
    if (m_use == PageUse::Recompose || m_holdWarnings)
        m_pendingWarnings.push_back({figureIndex, std::move(text)});
    else
        formdesc::messageSink().show(formdesc::kCaptionWarning, text, formdesc::MessageIcon::Exclamation);
}

void PageComposer::showPendingWarnings() {
    for (const HeldWarning& warning : takePendingWarnings())
        formdesc::messageSink().show(formdesc::kCaptionWarning, warning.text,
                                     formdesc::MessageIcon::Exclamation);
}

std::vector<PageComposer::HeldWarning> PageComposer::takePendingWarnings() {
    std::vector<HeldWarning> warnings = std::move(m_pendingWarnings);
    m_pendingWarnings.clear();
    return warnings;
}

// Each applying field's constant text, cut or padded with blanks to the
// field's width, replaces the record's cells from the field's first column.
void PageComposer::applyConstantTexts(PageBuffer& page) const {
    const bool tagMode = m_model.form.tagMode == 1;
    for (int j = 0; j < page.count(); ++j)
        for (int f = 0; f < m_model.fieldCount; ++f) {
            const formdesc::FieldInfo& field = m_model.fields[static_cast<std::size_t>(f)];
            const std::string_view constant = formdesc::sjis::view(field.constText);
            if (constant.empty() || !fieldAppliesTo(field, page[j], j, tagMode))
                continue;
            // Cells before column 1 (a field that starts there) take no bytes.
            const long long skipped = std::max(0LL, 1LL - field.startCol);
            const std::span<char> cells = cellsOf(page[j], field.startCol, field.endCol);
            for (std::size_t k = 0; k < cells.size(); ++k) {
                const unsigned long long source = static_cast<unsigned long long>(skipped) + k;
                cells[k] = source < constant.size() ? constant[source] : ' ';
            }
        }
}

void PageComposer::drawTexts(const render::RenderContext& context, PageBuffer& page) {
    const formdesc::FormInfo& form = m_model.form;
    const bool tagMode = form.tagMode == 1;
    RecordTextRenderer renderer(context, form);
    for (int j = 0; j < page.count(); ++j) {
        DataRecord& record = page[j];
        for (int f = 0; f < m_model.fieldCount; ++f) {
            const formdesc::FieldInfo& field = m_model.fields[static_cast<std::size_t>(f)];
            if (!fieldAppliesTo(field, record, j, tagMode))
                continue;
            renderer.text().selectFieldStyle(field);
            renderer.drawFieldText(field, record, j + 1);
            renderer.text().restoreStyle();
            const std::span<char> cells = cellsOf(record, field.startCol, field.endCol);
            std::fill(cells.begin(), cells.end(), ' ');
        }
    }
    for (int j = 0; j < page.count(); ++j)
        renderer.drawFreeText(page[j], j + 1);
    m_fieldFontsCreated = renderer.text().fontsCreated();
}

} // namespace runtime
