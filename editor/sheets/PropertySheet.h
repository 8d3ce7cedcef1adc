#pragma once

#include <QDialog>

class QDialogButtonBox;
class QTabWidget;

// A modal property sheet with one page, OK, Cancel and Apply. OK and Apply
// store the page; OK closes only when the page accepted its controls, and
// Cancel closes without storing what is shown (records already stored by
// Apply or by a step stay stored).
namespace editor {

class SheetPage;
struct SheetContext;

class PropertySheet : public QDialog {
    Q_OBJECT

  public:
    // Takes ownership of the page.
    PropertySheet(SheetContext& context, const QString& caption, const QString& tabText, SheetPage* page,
                  QWidget* parent);

    SheetPage& page() const { return *m_page; }
    QDialogButtonBox& buttons() const { return *m_buttons; }
    // True once a store replaced a record with different bytes.
    bool changed() const;

    void accept() override;

  private:
    SheetContext& m_context;
    QTabWidget* m_tabs = nullptr;
    SheetPage* m_page = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace editor
