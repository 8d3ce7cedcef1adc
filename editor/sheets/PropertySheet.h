#pragma once

#include <QDialog>

class QDialogButtonBox;
class QLabel;
class QTabWidget;

// A modal property sheet with one page, OK, Cancel and Apply. OK and Apply
// store the page; OK closes only when the page accepted its controls, and
// Cancel closes without storing what is shown (records already stored by
// Apply or by a step stay stored).
namespace editor {

class PropertyPage;
struct PropertySheetContext;

class PropertySheet : public QDialog {
    Q_OBJECT

  public:
    // Takes ownership of the page.
    PropertySheet(PropertySheetContext& context, const QString& caption, const QString& tabText,
                  PropertyPage* page, QWidget* parent);

    PropertyPage& page() const { return *m_page; }
    QDialogButtonBox& buttons() const { return *m_buttons; }
    // Why the page refused its last store; hidden while there is nothing to tell.
    QLabel& refusal() const { return *m_refusal; }
    // True once a store replaced a record with different bytes.
    bool changed() const;

    void accept() override;

  private:
    PropertySheetContext& m_context;
    QTabWidget* m_tabs = nullptr;
    PropertyPage* m_page = nullptr;
    QLabel* m_refusal = nullptr;
    QDialogButtonBox* m_buttons = nullptr;
};

} // namespace editor
