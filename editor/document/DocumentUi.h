#pragma once

#include <QString>

// How the document talks to the person in front of it: the file dialogs and
// the save question. Messages go through the formdesc message sink instead.
// Tests answer through a recording implementation.
namespace editor {

enum class SaveAnswer { Yes, No, Cancel };

class DocumentUi {
  public:
    virtual ~DocumentUi() = default;

    // The form file to open, starting in the given folder; empty when cancelled.
    virtual QString chooseFileToOpen(const QString& startFolder) = 0;
    // The path to save under (used exactly as typed), offering the current
    // file's name when the form has one; empty when cancelled.
    virtual QString chooseFileToSave(const QString& startFolder, const QString& currentName) = 0;
    // The CSV file to write a form's sample data into, offering the given
    // name; empty when cancelled.
    virtual QString chooseDataFileToSave(const QString& startFolder, const QString& suggestedName) = 0;
    // "修正中のファイルを保存しますか" with Yes, No and Cancel.
    virtual SaveAnswer askToSaveChanges() = 0;
};

} // namespace editor
