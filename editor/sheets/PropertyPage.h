#pragma once

#include "editor/sheets/PropertyPageRules.h"
#include "editor/widgets/AttributeControls.h"
#include "editor/widgets/AttributeLists.h"

#include <QString>
#include <QWidget>

#include <functional>
#include <optional>

class QComboBox;
class QGridLayout;
class QLabel;
class QLineEdit;

namespace formdesc {
class FormModel;
}

namespace editor {

class ColorButton;

// The bitmap file dialog of the bitmap page: the chosen file's full path, or
// nothing when the user cancelled. Tests put their own in place.
using BitmapFileChooser = std::function<std::optional<QString>(QWidget* parent)>;
// Qt's file dialog titled "ﾋﾞｯﾄﾏｯﾌﾟを開く", for existing files.
std::optional<QString> chooseBitmapFile(QWidget* parent);

// What the user answers when a step would leave input that is not stored:
// store it and step, step without it, or stay on the item.
enum class StepAnswer { Store, Drop, Stay };
// Asks "変更を適用しますか？" before such a step. Tests put their own in place.
using StepQuestion = std::function<StepAnswer(QWidget* parent)>;
// Qt's question box "確認" with はい, いいえ and キャンセル.
StepAnswer askStoreBeforeStep(QWidget* parent);

// What a sheet and its page share for one modal run: the form being edited,
// the item shown (an index into the fields, or into the figures), whether a
// step stores first, and whether any store replaced a record.
struct PropertySheetContext {
    formdesc::FormModel& model;
    int index = 0;
    bool updateMove = false;
    bool changed = false;
    AttributeDialogs dialogs = AttributeDialogs::standard();
    BitmapFileChooser chooseBitmap = chooseBitmapFile;
    // Called after each store that changed a record (one undo step each).
    std::function<void()> stored;
    // The folder of the form's file; empty for a new form that has none yet.
    QString formFolder;
    // Asked before a step without UpdateMove leaves changed input behind;
    // none steps without asking.
    StepQuestion askBeforeStep;
};

// One page of a property sheet: it shows one record in its controls and
// stores them back when OK or Apply is pressed.
class PropertyPage : public QWidget {
    Q_OBJECT

  public:
    // Stores the controls into the record; false (with the offending edit
    // refused and the reason told) keeps the sheet open.
    virtual bool store() = 0;

  signals:
    // Why the last store was refused; empty once a store is accepted.
    void refusalChanged(const QString& reason);

  protected:
    PropertyPage(PropertySheetContext& context, QWidget* parent);

    // The edit a refusal points at; null for controls the page lacks.
    virtual QLineEdit* editFor(PageControl control) const = 0;

    // The fresh record replaces the stored one, or its failing edit is refused.
    template <typename Record> bool finishStore(const StoreResult<Record>& result, Record& stored) {
        if (!result.accepted()) {
            refuse(result.failing, result.reason);
            return false;
        }
        emit refusalChanged(QString());
        if (commitRecord(stored, result.record)) {
            m_context.changed = true;
            if (m_context.stored)
                m_context.stored();
        }
        return true;
    }
    // Beeps, selects and focuses the refused edit (when the page has one)
    // and tells why.
    void refuse(PageControl control, const QString& reason);

    // An edit named for assistive technology, limited to a number of
    // Shift-JIS bytes.
    QLineEdit* textEdit(const QString& name, int maxBytes);
    // An edit that takes up to three digits.
    QLineEdit* digitsEdit(const QString& name);
    // A drop-down list of an attribute list, named for assistive technology.
    QComboBox* namedList(const QString& name, AttributeList list);
    // A read-only display of the font name or size.
    QLineEdit* display(const QString& name);
    ColorButton* colorButton(const QString& name, formdesc::ColorRef& color);
    // The name and size displays, the "選択..." and "文字色" buttons, in
    // rows of the grid from row on.
    void addFontControls(QGridLayout& grid, int row, formdesc::ColorRef& textColor);

    PropertySheetContext& m_context;
    QLineEdit* m_fontName = nullptr;
    QLineEdit* m_fontSize = nullptr;
    ColorButton* m_textColor = nullptr;

  private:
    void chooseFontForDisplays();
};

// A caption label for the control that follows it.
QLabel* captionFor(const QString& text, QWidget* buddy);

} // namespace editor
