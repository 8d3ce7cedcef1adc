#include "FormDocument.h"

#include "DocumentUi.h"

// not built yet
namespace editor {
FormDocument::FormDocument(DocumentUi& ui, QObject* parent)
    : QObject(parent), m_ui(ui), m_model(std::make_unique<formdesc::FormModel>()),
      m_saved(std::make_unique<formdesc::FormModel>()) {}
FormDocument::~FormDocument() = default;
void FormDocument::newForm() {}
bool FormDocument::openForm() {
    return false;
}
bool FormDocument::openFormFile(const QString&) {
    return false;
}
bool FormDocument::saveForm() {
    return false;
}
bool FormDocument::saveFormAs() {
    return false;
}
bool FormDocument::isModified() const {
    return false;
}
bool FormDocument::confirmDiscard() {
    return true;
}
bool FormDocument::canClose() {
    return true;
}
void FormDocument::setWindowTitle(const QString& text) {
    m_windowTitle = text;
    emit titleChanged(text);
}
QString FormDocument::titleFor(const formdesc::FormInfo&) {
    return {};
}
bool FormDocument::canAddField() const {
    return true;
}
bool FormDocument::canAddFigure() const {
    return true;
}
void FormDocument::emptyClipboard() {}
bool FormDocument::writeTo(const QString&) {
    return false;
}
void FormDocument::rememberFolderOf(const QString&) {}
} // namespace editor
