#pragma once

#include "editor/document/UndoHistory.h"
#include "formdesc/FormModel.h"

#include <QObject>
#include <QString>

#include <memory>

// The designer's single open form: the records, a saved copy of them for the
// modified check, the file path, whether the form has a name yet, and the
// folder the file dialogs start in. Talks to the user only through a
// DocumentUi and the message sink.
namespace editor {

class DocumentUi;

enum class NamingState { Unnamed = 1, Named = 2 };

class FormDocument : public QObject {
    Q_OBJECT

  public:
    explicit FormDocument(DocumentUi& ui, QObject* parent = nullptr);
    ~FormDocument() override;

    // The records, read and changed in place by drawing, tools and sheets.
    formdesc::FormModel& model() { return *m_model; }
    const formdesc::FormModel& model() const { return *m_model; }
    // The records as they were after the last new, open or save.
    const formdesc::FormModel& savedCopy() const { return *m_saved; }

    // Clears the form and gives it the defaults of a new form, unnamed and
    // not modified. Never asks.
    void newForm();
    // Asks for a file and reads it. On any failure the form, path, saved copy
    // and title stay as they were.
    bool openForm();
    // Reads the given file exactly as openForm does after the dialog.
    bool openFormFile(const QString& path);
    // Writes the form under its path, or asks for one when it has none.
    bool saveForm();
    // Asks for a path and writes the form there.
    bool saveFormAs();

    // Asks for a CSV file and writes the form's sample record there (the
    // names of its slots and one example record). Returns the file written,
    // or nothing when cancelled or failed (told through the message sink).
    QString writeSampleData();

    // True when the records differ from the saved copy, byte for byte.
    bool isModified() const;
    // Offers to save a modified form; true when the caller may go on.
    bool confirmDiscard();
    // confirmDiscard, then empties the clipboard; true when the designer may close.
    bool canClose();

    QString path() const { return m_path; }
    NamingState namingState() const { return m_naming; }
    // A folder ending in '/', or empty.
    QString lastFolder() const { return m_lastFolder; }
    void setLastFolder(const QString& folder) { m_lastFolder = folder; }

    // "Tabrik [<form title>]": set by new and open, the form sheet, undo and redo.
    QString windowTitle() const { return m_windowTitle; }
    void setWindowTitle(const QString& text);
    static QString titleFor(const formdesc::FormInfo& form);

    // True when one more field or figure may be added; otherwise shows
    // "登録限度に達しています" and returns false.
    bool canAddField() const;
    bool canAddFigure() const;
    // The message of a full form: "登録限度に達しています".
    static void reportItemLimit();

    // Undo and redo. Whoever changes the records calls recordChange() after
    // the change; the difference from the state before becomes one step.
    // New and open clear the history. The modified check stays the byte
    // comparison with the saved copy.
    void recordChange();
    bool canUndo() const;
    bool canRedo() const;
    // True when the records changed (recordsRestored is then emitted).
    bool undo();
    bool redo();
    void clearHistory();
    // Bytes the history holds now, for the memory budget and the benchmarks.
    std::size_t historyBytes() const;

    // The clipboard format of copied items, and emptying the clipboard when
    // the designer closes, if it still holds the items this process put there.
    static constexpr const char* kClipboardFormat = "TABRIK_FORMAT";
    static void emptyClipboard();

  signals:
    // The records were replaced as a whole (new or a successful open).
    void recordsReplaced();
    void titleChanged(const QString& title);
    // Undo or redo put back an earlier state of the records.
    void recordsRestored();
    // Undo or redo became possible or impossible.
    void historyChanged();
    // isModified() answers differently from when this was last emitted.
    void modifiedChanged(bool modified);
    // The form was written to this file (its full path).
    void saved(const QString& path);

  private:
    bool writeTo(const QString& path);
    void rememberFolderOf(const QString& file);
    // After undo or redo: the title when the form's title changed, then recordsRestored.
    void showRestored(const formdesc::FormInfo& before);
    // Emits historyChanged when canUndo or canRedo differ from what was last told.
    void tellHistoryState();
    // Emits modifiedChanged when isModified() differs from what was last told.
    void tellModified();

    DocumentUi& m_ui;
    std::unique_ptr<formdesc::FormModel> m_model;
    std::unique_ptr<formdesc::FormModel> m_saved;
    QString m_path;
    NamingState m_naming = NamingState::Unnamed;
    QString m_lastFolder;
    QString m_windowTitle;
    UndoHistory m_history;
    bool m_toldUndo = false;
    bool m_toldRedo = false;
    bool m_toldModified = false;
};

} // namespace editor
