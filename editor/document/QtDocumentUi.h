#pragma once

#include "editor/document/DocumentUi.h"

#include <QPointer>
#include <QWidget>

// The document's dialogs as Qt shows them: QFileDialog for open and save and a
// QMessageBox for the save question, all owned by one parent window.
namespace editor {

class QtDocumentUi : public DocumentUi {
  public:
    explicit QtDocumentUi(QWidget* dialogParent = nullptr);

    void setDialogParent(QWidget* parent) { m_parent = parent; }

    QString chooseFileToOpen(const QString& startFolder) override;
    QString chooseFileToSave(const QString& startFolder, const QString& currentName) override;
    QString chooseDataFileToSave(const QString& startFolder, const QString& suggestedName) override;
    SaveAnswer askToSaveChanges() override;

    // The file type list of both dialogs.
    static QString fileFilter();
    // Where a dialog starts: the folder asked for while it exists, else the
    // home folder (a folder from the settings may be gone since).
    static QString dialogFolder(const QString& startFolder);

  private:
    QPointer<QWidget> m_parent;
};

} // namespace editor
