#pragma once

#include "editor/papers/SheetDialog.h"

// "記入用紙の印刷": the numbered grid paper alone, for sketching a form by
// hand. Neither kind is selected at first; landscape unless the user picks
// portrait.
namespace editor {

class EntrySheetDialog : public SheetDialog {
    Q_OBJECT

  public:
    EntrySheetDialog(SheetPrinterAccess access, QWidget* parent = nullptr);

  protected:
    SheetRequest request() const override;
    bool isDesignSheet() const override { return false; }
};

// Runs the dialog modally.
void runEntrySheetDialog(QWidget* parent);

} // namespace editor
