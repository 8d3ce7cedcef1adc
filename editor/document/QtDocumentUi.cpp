#include "QtDocumentUi.h"

// not built yet
namespace editor {
QtDocumentUi::QtDocumentUi(QWidget* dialogParent) : m_parent(dialogParent) {}
QString QtDocumentUi::chooseFileToOpen(const QString&) {
    return {};
}
QString QtDocumentUi::chooseFileToSave(const QString&) {
    return {};
}
SaveAnswer QtDocumentUi::askToSaveChanges() {
    return SaveAnswer::Cancel;
}
QString QtDocumentUi::fileFilter() {
    return {};
}
} // namespace editor
