#include "editor/papers/EntrySheetDialog.h"

namespace editor {

EntrySheetDialog::EntrySheetDialog(SheetPrinterAccess access, QWidget* parent)
    : SheetDialog(QStringLiteral("記入用紙の印刷"), std::move(access), parent) {}

SheetRequest EntrySheetDialog::request() const {
    SheetRequest request;
    request.settings.kind = kind();
    return request;
}

void runEntrySheetDialog(QWidget* parent) {
    EntrySheetDialog dialog(SheetPrinterAccess::system(), parent);
    dialog.exec();
}

} // namespace editor
