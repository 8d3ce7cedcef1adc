#pragma once

#include "editor/sheets/PropertyPage.h"

class QGridLayout;
class QGroupBox;
class QPushButton;
class QVBoxLayout;

// What the pages of the items share: the position group with its four
// edits, and the "＜ 前" / "次 ＞" buttons that step through the items of the
// page's kind without closing the sheet.
namespace editor {

class ItemPage : public PropertyPage {
    Q_OBJECT

  public:
    int kind() const { return m_kind; }
    // Previous (-1) or next (+1), then shows the neighbour. With UpdateMove
    // it stores first, whatever the store answers; without it, input that
    // differs from the record is stored, dropped or kept as the user answers
    // the context's question (a refused store stays on the item).
    void step(int direction);
    // True when the controls show something other than the current record.
    virtual bool differs() const = 0;

  protected:
    ItemPage(PropertySheetContext& context, int kind, QWidget* parent);

    // Shows the current item; the step calls it for the neighbour.
    virtual void showCurrent() = 0;

    PositionValues positionValues() const;
    void showPosition(const PositionValues& values);
    QLineEdit* positionEdit(PageControl control) const;

    // The page's layout with the step buttons at the top right and the
    // position group under them; the grid takes further rows from row 2 on.
    QVBoxLayout& pageLayout() { return *m_layout; }
    QGridLayout& positionGrid() { return *m_positionGrid; }

    QLineEdit* m_startCol = nullptr;
    QLineEdit* m_startRow = nullptr;
    QLineEdit* m_endCol = nullptr;
    QLineEdit* m_endRow = nullptr;
    QWidget* m_endRowUnit = nullptr;

  private:
    int m_kind;
    QVBoxLayout* m_layout = nullptr;
    QGridLayout* m_positionGrid = nullptr;
};

} // namespace editor
