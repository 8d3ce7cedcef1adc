#include "editor/sheets/BarcodePageRules.h"

#include "editor/sheets/RefusalReasons.h"
#include "editor/widgets/ShiftJisValidator.h"
#include "formdesc/Barcode.h"
#include "formdesc/FormRoundTrip.h"
#include "formdesc/ShiftJis.h"

namespace editor {

namespace {

QString textOf(std::string_view sjisText) {
    return QString::fromStdString(formdesc::sjis::toUtf8(sjisText));
}

void refuse(StoreResult<formdesc::FigureInfo>& result, PageControl control, const QString& reason) {
    result.failing = control;
    result.reason = reason;
}

} // namespace

QStringList barcodeTypeNames() {
    QStringList names;
    for (int type = 1; type <= formdesc::kBarcodeTypeCount; ++type)
        names << QString::fromLatin1(formdesc::barcodeTypeName(type));
    return names;
}

QStringList barcodeEccNames() {
    return {QStringLiteral("既定"), QStringLiteral("L"), QStringLiteral("M"), QStringLiteral("Q"),
            QStringLiteral("H")};
}

QStringList fieldTagsOf(const formdesc::FormModel& model) {
    QStringList tags;
    for (int i = 0; i < model.fieldCount; ++i) {
        const QString tag = textOf(formdesc::sjis::view(model.fields[std::size_t(i)].tag));
        if (!tag.isEmpty() && !tags.contains(tag))
            tags << tag;
    }
    return tags;
}

BarcodeValues fillBarcode(const formdesc::FigureInfo& figure) {
    const formdesc::BarcodeAttributes barcode = formdesc::barcodeOf(figure);
    BarcodeValues values;
    values.position = fillPosition(figure.startCol, figure.startRow, figure.endCol, figure.endRow);
    values.type = std::max(barcode.type - 1, 0);
    values.fromField = barcode.fromField;
    (barcode.fromField ? values.fieldTag : values.constText) = textOf(barcode.text);
    values.hri = barcode.hri;
    values.color = figure.lineColor;
    values.ecc = barcode.ecc;
    return values;
}

StoreResult<formdesc::FigureInfo> storeBarcodeValues(const BarcodeValues& values,
                                                     const formdesc::FormModel& model) {
    const formdesc::FormInfo& form = model.form;
    StoreResult<formdesc::FigureInfo> result;
    formdesc::FigureInfo& figure = result.record;
    figure.kind = formdesc::kKindBarcode;
    const PositionCells cells = readPosition(values.position);
    figure.startCol = cells.startCol;
    figure.startRow = cells.startRow;
    figure.endCol = cells.endCol;
    figure.endRow = cells.endRow;
    figure.lineColor = values.color;

    formdesc::BarcodeAttributes barcode;
    barcode.type = values.type + 1;
    barcode.fromField = values.fromField;
    barcode.hri = values.hri && !formdesc::isTwoDimensional(barcode.type);
    barcode.ecc = barcode.type == formdesc::kBarcodeQr ? values.ecc : formdesc::kEccDefault;
    const QString& text = values.fromField ? values.fieldTag : values.constText;
    const std::optional<std::string> bytes =
        exactShiftJis(text, int(formdesc::BarcodeLayout::kTextBytes) - 1);
    if (bytes)
        barcode.text = *bytes;
    const bool textStored = bytes && formdesc::storeBarcode(figure, barcode);

    const PageControl textControl = values.fromField ? PageControl::BarcodeField : PageControl::BarcodeText;
    if (const PageControl failing = checkPosition(cells, form); failing != PageControl::None)
        refuse(result, failing, positionReason(failing, form));
    else if (barcode.type < 1 || barcode.type > formdesc::kBarcodeTypeCount)
        refuse(result, PageControl::Page, QStringLiteral("種類を選んでください"));
    else if (values.fromField && !fieldTagsOf(model).contains(values.fieldTag))
        refuse(result, textControl, QStringLiteral("フィールドを選んでください"));
    else if (text.trimmed().isEmpty())
        refuse(result, textControl, QStringLiteral("内容を入力してください"));
    else if (!textStored)
        refuse(result, textControl, textNotStoredReason(textControl));
    else if (!formdesc::figureSurvives(figure, form))
        refuse(result, textControl, textChangedReason(textControl, text));
    return result;
}

} // namespace editor
