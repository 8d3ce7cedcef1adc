#include "editor/sheets/PropertySheets.h"

#include "editor/document/FormDocument.h"
#include "editor/sheets/BarcodePage.h"
#include "editor/sheets/BasePage.h"
#include "editor/sheets/BitmapPage.h"
#include "editor/sheets/FieldPage.h"
#include "editor/sheets/LinePage.h"
#include "editor/sheets/RectPage.h"
#include "formdesc/Barcode.h"

#include <QFileInfo>

namespace editor {

BaseSheet::BaseSheet(PropertySheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("帳票情報の詳細"), QStringLiteral("帳票情報"),
                    new BasePage(context), parent) {
    setObjectName(QStringLiteral("BaseSheet"));
}

FieldSheet::FieldSheet(PropertySheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("フィールドの詳細"), QStringLiteral("フィールド"),
                    new FieldPage(context), parent) {
    setObjectName(QStringLiteral("FieldSheet"));
}

LineSheet::LineSheet(PropertySheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("直線の詳細"), QStringLiteral("直線"), new LinePage(context),
                    parent) {
    setObjectName(QStringLiteral("LineSheet"));
}

RectSheet::RectSheet(PropertySheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("四角形の詳細"), QStringLiteral("四角形"), new RectPage(context),
                    parent) {
    setObjectName(QStringLiteral("RectSheet"));
}

BitmapSheet::BitmapSheet(PropertySheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("ビットマップの詳細"), QStringLiteral("ビットマップ"),
                    new BitmapPage(context), parent) {
    setObjectName(QStringLiteral("BitmapSheet"));
}

BarcodeSheet::BarcodeSheet(PropertySheetContext& context, QWidget* parent)
    : PropertySheet(context, QStringLiteral("バーコードの詳細"), QStringLiteral("バーコード"),
                    new BarcodePage(context), parent) {
    setObjectName(QStringLiteral("BarcodeSheet"));
}

namespace {

bool showsItem(const formdesc::FormModel& model, int kind, int index) {
    if (kind == formdesc::kKindField)
        return index >= 0 && index < model.fieldCount;
    return index >= 0 && index < model.figureCount && model.figures[std::size_t(index)].kind == kind;
}

QString formFolderOf(const FormDocument& document) {
    if (document.namingState() != NamingState::Named)
        return {};
    return QFileInfo(document.path()).absolutePath();
}

} // namespace

std::unique_ptr<PropertySheet> makePropertySheet(PropertySheetContext& context, int kind, QWidget* parent) {
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
    case formdesc::kKindBarcode:
        return std::make_unique<BarcodeSheet>(context, parent);
    default:
        return nullptr;
    }
}

bool runPropertySheet(FormDocument& document, int kind, int& index, bool updateMove, QWidget* parent,
                      const PropertySheetChoosers& choosers) {
    PropertySheetContext context{document.model(),
                                 index,
                                 updateMove,
                                 false,
                                 choosers.dialogs,
                                 choosers.bitmap,
                                 [&document] { document.recordChange(); },
                                 formFolderOf(document),
                                 choosers.askBeforeStep};
    const std::unique_ptr<PropertySheet> sheet = makePropertySheet(context, kind, parent);
    if (!sheet)
        return false;
    const bool ok = sheet->exec() == QDialog::Accepted;
    index = context.index;
    return ok && context.changed;
}

} // namespace editor
