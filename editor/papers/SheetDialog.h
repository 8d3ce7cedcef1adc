#pragma once

#include <QDialog>

#include <memory>
#include <string>

#include "editor/papers/SheetOutput.h"
#include "editor/papers/SheetPrinterAccess.h"

class QBoxLayout;
class QLabel;
class QPrinter;
class QPushButton;
class QRadioButton;

// What the design-sheet and entry-sheet dialogs share: the printer's name
// and the button for the print dialog, the two kinds, and printing on OK.
// Without a default queue the printer is "PDF ファイル": OK asks for the file
// in the print dialog unless one was chosen there already.
namespace editor {

class SheetDialog : public QDialog {
    Q_OBJECT

  public:
    ~SheetDialog() override;

    // The kind chosen: 1 when "縦型" is selected, else 0.
    int kind() const;
    QString printerName() const;
    bool hasDefaultPrinter() const { return m_hasDefault; }
    // How the last OK ended, and the output system's words on a failure.
    SheetOutcome outcome() const { return m_outcome; }
    const std::string& outputError() const { return m_outputError; }

    QRadioButton* landscapeButton() const { return m_landscape; }
    QRadioButton* portraitButton() const { return m_portrait; }
    QPushButton* printerButton() const { return m_printerButton; }
    QPushButton* okButton() const { return m_ok; }

    static QString landscapeCaption();
    static QString portraitCaption();
    // What the printer label shows when there is no queue at all.
    static QString pdfFileCaption();

  public slots:
    void accept() override;

  protected:
    SheetDialog(const QString& title, SheetPrinterAccess access, QWidget* parent);

    // Where a dialog puts its own controls, between the kinds and the buttons.
    QBoxLayout& body() { return *m_body; }
    // False leaves the dialog open without printing.
    virtual bool canPrint() const { return true; }
    virtual SheetRequest request() const = 0;
    virtual bool isDesignSheet() const = 0;

  private:
    // Runs the print dialog; false when the user cancelled it.
    bool choosePrinter();
    void showPrinterName();

    SheetPrinterAccess m_access;
    std::unique_ptr<QPrinter> m_printer; // lives as long as the dialog, like its settings
    bool m_hasDefault = false;
    bool m_chosen = false;
    SheetOutcome m_outcome = SheetOutcome::CannotOpen;
    std::string m_outputError;
    QLabel* m_printerName = nullptr;
    QPushButton* m_printerButton = nullptr;
    QRadioButton* m_landscape = nullptr;
    QRadioButton* m_portrait = nullptr;
    QBoxLayout* m_body = nullptr;
    QPushButton* m_ok = nullptr;
};

} // namespace editor
