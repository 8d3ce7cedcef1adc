#include "PropertySheets.h"

#include "BasePage.h"
#include "BitmapPage.h"
#include "FieldPage.h"
#include "FormCanvas.h"
#include "LinePage.h"
#include "RectPage.h"

namespace editor {

BaseSheet::BaseSheet(SheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("帳票情報の詳細"), QStringLiteral("帳票情報"),
                    new BasePage(context), parent) {
    setObjectName(QStringLiteral("BaseSheet"));
}

FieldSheet::FieldSheet(SheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("フィールドの詳細"), QStringLiteral("フィールド"),
                    new FieldPage(context), parent) {
    setObjectName(QStringLiteral("FieldSheet"));
}

LineSheet::LineSheet(SheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("直線の詳細"), QStringLiteral("直線"), new LinePage(context),
                    parent) {
    setObjectName(QStringLiteral("LineSheet"));
}

RectSheet::RectSheet(SheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("四角形の詳細"), QStringLiteral("四角形"), new RectPage(context),
                    parent) {
    setObjectName(QStringLiteral("RectSheet"));
}

BitmapSheet::BitmapSheet(SheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("ビットマップの詳細"), QStringLiteral("ビットマップ"),
                    new BitmapPage(context), parent) {
    setObjectName(QStringLiteral("BitmapSheet"));
}

namespace {

bool showsItem(const formdesc::FormModel& model, int kind, int index) {
    if (kind == formdesc::kKindField)
        return index >= 0 && index < model.fieldCount;
    return index >= 0 && index < model.figureCount && model.figures[std::size_t(index)].kind == kind;
}

} // namespace

std::unique_ptr<PropertySheet> makePropertySheet(SheetContext& context, int kind, QWidget* parent) {
    if (kind == 0 || kind == formdesc::kKindBase)
        return std::make_unique<BaseSheet>(context, parent);
    if (!showsItem(context.model, kind, context.index))
        return nullptr;
    switch (kind) {
    case formdesc::kKindField:
        return std::make_unique<FieldSheet>(context, parent);
    case formdesc::kKindLine:
        return std::make_unique<LineSheet>(context, parent);
    case formdesc::kKindRect:
        return std::make_unique<RectSheet>(context, parent);
    case formdesc::kKindBitmap:
        return std::make_unique<BitmapSheet>(context, parent);
    default:
        return nullptr;
    }
}

bool runPropertySheet(FormCanvas& canvas, int kind, QWidget* parent, const SheetChoosers& choosers) {
    SheetContext context{canvas.document().model(),
                         canvas.currentItemIndex(),
                         canvas.updateMove(),
                         false,
                         choosers.dialogs,
                         choosers.bitmap,
                         [&canvas] { canvas.document().recordChange(); }};
    const std::unique_ptr<PropertySheet> sheet = makePropertySheet(context, kind, parent);
    if (!sheet)
        return false;
    const bool ok = sheet->exec() == QDialog::Accepted;
    if (kind != 0 && kind != formdesc::kKindBase)
        canvas.setCurrentItem(kind, context.index);
    return ok && context.changed;
}

} // namespace editor
