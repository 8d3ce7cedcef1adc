#pragma once

#include "PropertySheet.h"
#include "SheetPage.h"

#include <memory>

// The five property sheets, one per record type, and the one call the frame
// and the canvas use to run them.
namespace editor {

class FormCanvas;

// "帳票情報の詳細": the form's own record.
class BaseSheet : public PropertySheet {
    Q_OBJECT
  public:
    BaseSheet(SheetContext& context, QWidget* parent = nullptr);
};

// "フィールドの詳細".
class FieldSheet : public PropertySheet {
    Q_OBJECT
  public:
    FieldSheet(SheetContext& context, QWidget* parent = nullptr);
};

// "直線の詳細".
class LineSheet : public PropertySheet {
    Q_OBJECT
  public:
    LineSheet(SheetContext& context, QWidget* parent = nullptr);
};

// "四角形の詳細".
class RectSheet : public PropertySheet {
    Q_OBJECT
  public:
    RectSheet(SheetContext& context, QWidget* parent = nullptr);
};

// "ビットマップの詳細".
class BitmapSheet : public PropertySheet {
    Q_OBJECT
  public:
    BitmapSheet(SheetContext& context, QWidget* parent = nullptr);
};

// The sheet for a kind (0 or 1 the form, 11, 21, 22, 24) on the context's
// item; null for another kind or an index that is not an item of that kind.
std::unique_ptr<PropertySheet> makePropertySheet(SheetContext& context, int kind, QWidget* parent);

// The dialogs the pages open (Qt's own unless replaced).
struct SheetChoosers {
    AttributeDialogs dialogs = AttributeDialogs::standard();
    BitmapFileChooser bitmap = chooseBitmapFile;
};

// Runs the sheet of a kind modally on the canvas's form and current item,
// with the canvas's UpdateMove option, and leaves the current item where the
// steps left it. True when it closed with OK and a store changed a record;
// false after Cancel, even when Apply or a step stored something.
bool runPropertySheet(FormCanvas& canvas, int kind, QWidget* parent, const SheetChoosers& choosers = {});

} // namespace editor
