#include "editor/sheets/RefusalReasons.h"

#include "formdesc/Barcode.h"

namespace editor {

using formdesc::FormError;

namespace {

QString utf8(const char* text) {
    return QString::fromUtf8(text);
}

// An item's cells, as the item pages show a position.
QString cellsText(int startCol, int startRow, int endCol, int endRow) {
    const QString rows =
        startRow == endRow ? utf8("%1行").arg(startRow) : utf8("%1〜%2行").arg(startRow).arg(endRow);
    return rows + utf8(" %1〜%2列").arg(startCol).arg(endCol);
}

QString figureKindName(int kind) {
    switch (kind) {
    case formdesc::kKindLine:
        return utf8("直線");
    case formdesc::kKindRect:
        return utf8("四角形");
    case formdesc::kKindBitmap:
        return utf8("ビットマップ");
    case formdesc::kKindBarcode:
        return utf8("バーコード");
    default:
        return utf8("図形");
    }
}

// The item the reader found outside the grid: the edit that shrank past it
// (columns first, as the reader checks them first) and the item named.
FormRefusal itemOutside(const FormError& error, const formdesc::FormModel& model) {
    const formdesc::FormInfo& form = model.form;
    const auto index = static_cast<std::size_t>(error.item - 1);
    int startCol = 0, startRow = 0, endCol = 0, endRow = 0;
    QString item;
    if (error.category == formdesc::kErrorField) {
        const formdesc::FieldInfo& field = model.fields[index];
        startCol = field.startCol, startRow = field.startRow, endCol = field.endCol, endRow = field.endRow;
        item = utf8("%1番目のフィールド").arg(error.item);
    } else {
        const formdesc::FigureInfo& figure = model.figures[index];
        startCol = figure.startCol, startRow = figure.startRow, endCol = figure.endCol,
        endRow = figure.endRow;
        item = utf8("%1番目の図形（%2）").arg(error.item).arg(figureKindName(figure.kind));
    }
    const bool columns = startCol < 1 || endCol > form.columns;
    FormRefusal refusal;
    refusal.control = columns ? PageControl::Columns : PageControl::Rows;
    refusal.reason =
        utf8("%1（%2）が%3 %4 の外に出ます")
            .arg(item, cellsText(startCol, startRow, endCol, endRow), columns ? utf8("桁数") : utf8("行数"))
            .arg(columns ? form.columns : form.rows);
    return refusal;
}

// The values an edit takes, as the page asks for them.
QString rangeReason(PageControl control, int last) {
    return utf8("%1は1〜%2の範囲で指定してください").arg(captionOf(control)).arg(last);
}

} // namespace

QString captionOf(PageControl control) {
    switch (control) {
    case PageControl::Title:
        return utf8("名称");
    case PageControl::Rows:
        return utf8("行数");
    case PageControl::Columns:
        return utf8("桁数");
    case PageControl::TopMargin:
        return utf8("上ﾏｰｼﾞﾝ");
    case PageControl::LeftMargin:
        return utf8("左ﾏｰｼﾞﾝ");
    case PageControl::FontName:
        return utf8("ﾌｫﾝﾄ名");
    case PageControl::StartCol:
        return utf8("開始列");
    case PageControl::StartRow:
        return utf8("開始行");
    case PageControl::EndCol:
        return utf8("終了列");
    case PageControl::EndRow:
        return utf8("終了行");
    case PageControl::Tag:
        return utf8("TAG名");
    case PageControl::ConstText:
        return utf8("ｺﾝｽﾀﾝﾄ");
    case PageControl::FileName:
        return utf8("ﾌｧｲﾙ名");
    case PageControl::BarcodeText:
        return utf8("内容");
    case PageControl::BarcodeField:
        return utf8("フィールド");
    case PageControl::None:
    case PageControl::Page:
        break;
    }
    return {};
}

QString textNotStoredReason(PageControl control) {
    return utf8("%1にShift-JISで表せない文字があるか、長すぎます").arg(captionOf(control));
}

QString textChangedReason(PageControl control, const QString& text) {
    // The first mark in the text that the file gives a meaning of its own.
    const QString kMarks[] = {utf8("\""), utf8("//"), utf8(";"), utf8("\n"),
                              utf8("\r"), utf8(","),  utf8("-")};
    qsizetype first = -1;
    QString mark;
    for (const QString& candidate : kMarks) {
        if (candidate == utf8(",") &&
            (control == PageControl::ConstText || control == PageControl::BarcodeText))
            continue; // a constant is quoted: its commas are kept
        if (candidate == utf8("-") && control != PageControl::FontName)
            continue; // only a face name is followed by "-size"
        const qsizetype at = text.indexOf(candidate);
        if (at >= 0 && (first < 0 || at < first)) {
            first = at;
            mark = candidate;
        }
    }
    if (first >= 0) {
        const QString shown =
            mark == utf8("\n") || mark == utf8("\r") ? utf8("改行") : utf8("「%1」").arg(mark);
        return utf8("%1の%2は帳票ファイルに保存できません").arg(captionOf(control), shown);
    }
    return utf8("%1は保存すると内容が変わります（「\"」「//」「;」や改行、項目の名前は使えません）")
        .arg(captionOf(control));
}

QString positionReason(PageControl control, const formdesc::FormInfo& form) {
    const bool column = control == PageControl::StartCol || control == PageControl::EndCol;
    return rangeReason(control, column ? form.columns : form.rows);
}

QString layoutReason(PageControl control) {
    switch (control) {
    case PageControl::Rows:
    case PageControl::Columns:
        return rangeReason(control, formdesc::kMaxGrid);
    case PageControl::LeftMargin:
        return utf8("左ﾏｰｼﾞﾝは0以上で、用紙の幅より10mm以上小さくしてください");
    default:
        return utf8("上ﾏｰｼﾞﾝは0以上で、用紙の高さより10mm以上小さくしてください");
    }
}

QString recordChangedReason() {
    return utf8("保存すると内容が変わる値があります");
}

FormRefusal formRefusal(const FormError& error, const formdesc::FormModel& model) {
    const bool outside = error.code == 2 && error.item >= 1 &&
                         ((error.category == formdesc::kErrorField && error.item <= model.fieldCount) ||
                          (error.category == formdesc::kErrorFigure && error.item <= model.figureCount));
    if (outside)
        return itemOutside(error, model);
    if (error.category == formdesc::kErrorForm && error.code == 1)
        return {PageControl::Title, utf8("名称を入れてください（名称のない帳票は読み込めません）")};
    FormRefusal refusal;
    if (error.category == formdesc::kErrorForm && error.code == 8)
        refusal.control = PageControl::FontName;
    refusal.reason = QString::fromStdString(formErrorText(error, formdesc::MessageOrigin::Designer));
    return refusal;
}

} // namespace editor
