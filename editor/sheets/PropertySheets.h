#pragma once

#include "editor/sheets/PropertyPage.h"
#include "editor/sheets/PropertySheet.h"

#include <memory>

// The five property sheets, one per record type, and the one call the frame
// and the canvas use to run them.
namespace editor {

class FormDocument;

// "帳票情報の詳細": the form's own record.
class BaseSheet : public PropertySheet {
    Q_OBJECT
  public:
    BaseSheet(PropertySheetContext& context, QWidget* parent = nullptr);
};

// "フィールドの詳細".
class FieldSheet : public PropertySheet {
    Q_OBJECT
  public:
    FieldSheet(PropertySheetContext& context, QWidget* parent = nullptr);
};

// "直線の詳細".
class LineSheet : public PropertySheet {
    Q_OBJECT
  public:
    LineSheet(PropertySheetContext& context, QWidget* parent = nullptr);
};

// "四角形の詳細".
class RectSheet : public PropertySheet {
    Q_OBJECT
  public:
    RectSheet(PropertySheetContext& context, QWidget* parent = nullptr);
};

// "ビットマップの詳細".
class BitmapSheet : public PropertySheet {
    Q_OBJECT
  public:
    BitmapSheet(PropertySheetContext& context, QWidget* parent = nullptr);
};

// "バーコードの詳細".
class BarcodeSheet : public PropertySheet {
    Q_OBJECT
  public:
    BarcodeSheet(PropertySheetContext& context, QWidget* parent = nullptr);
};

// The sheet for a kind (0 or 1 the form, 11, 21, 22, 24, 25) on the context's
// item; null for another kind or an index that is not an item of that kind.
std::unique_ptr<PropertySheet> makePropertySheet(PropertySheetContext& context, int kind, QWidget* parent);

// The dialogs the pages open (Qt's own unless replaced).
struct PropertySheetChoosers {
    AttributeDialogs dialogs = AttributeDialogs::standard();
    BitmapFileChooser bitmap = chooseBitmapFile;
    StepQuestion askBeforeStep = askStoreBeforeStep;
};

// Runs the sheet of a kind modally on the open form's item at index, with
// the UpdateMove option, and leaves index where the steps left it. True when
// it closed with OK and a store changed a record; false after Cancel, even
// when Apply or a step stored something.
bool runPropertySheet(FormDocument& document, int kind, int& index, bool updateMove, QWidget* parent,
                      const PropertySheetChoosers& choosers = {});

} // namespace editor
