#pragma once

#include "editor/papers/SheetDialog.h"

#include <filesystem>

class QCheckBox;
class QLineEdit;

// "設計用紙の印刷": the current form drawn on the numbered grid paper, with
// the name, date and remarks in the header. The kinds the form does not fit
// are disabled; OK does nothing while it fits neither.
namespace editor {

class FormCanvas;

class DesignSheetDialog : public SheetDialog {
    Q_OBJECT

  public:
    // Edit limits, in Shift-JIS bytes.
    static constexpr int kNameLimit = 30;
    static constexpr int kDateLimit = 10;
    static constexpr int kRemarksLimit = 60;

    DesignSheetDialog(const formdesc::FormModel& model, std::filesystem::path formFolder,
                      SheetPrinterAccess access, QWidget* parent = nullptr);

    QLineEdit* nameEdit() const { return m_name; }
    QLineEdit* dateEdit() const { return m_date; }
    QLineEdit* remarksEdit() const { return m_remarks; }
    QCheckBox* frameFieldsBox() const { return m_frameFields; }
    QCheckBox* noFillsBox() const { return m_noFills; }

    // The settings as OK reads them from the controls.
    SheetSettings settings() const;

    // Today's date as the date box starts with it.
    static QString today();

  protected:
    bool canPrint() const override;
    SheetRequest request() const override;
    bool isDesignSheet() const override { return true; }

  private:
    const formdesc::FormModel& m_model;
    std::filesystem::path m_formFolder;
    QLineEdit* m_name = nullptr;
    QLineEdit* m_date = nullptr;
    QLineEdit* m_remarks = nullptr;
    QCheckBox* m_frameFields = nullptr;
    QCheckBox* m_noFills = nullptr;
};

// Runs the dialog modally on the canvas's form; the canvas is its parent.
void runDesignSheetDialog(FormCanvas& canvas, QWidget* parent = nullptr);

} // namespace editor
