#pragma once

#include "editor/sheets/ItemPage.h"
#include "editor/widgets/AttributeLists.h"

class QComboBox;
class QGridLayout;
class QLabel;

// What the line and rectangle pages share: the "種類" list, the pen, the
// line colour and the repetition group, whose controls are enabled only
// while a direction is chosen.
namespace editor {

class FigurePage : public ItemPage {
    Q_OBJECT

  public:
    FigureValues values() const;
    void showValues(const FigureValues& values);
    bool differs() const override;

  protected:
    FigurePage(PropertySheetContext& context, int kind, AttributeList kindList, QWidget* parent);

    void showCurrent() override;
    QLineEdit* editFor(PageControl control) const override;
    // The figure shown, or null when the index is not one of the page's kind.
    formdesc::FigureInfo* currentFigure() const;
    // Runs after the "種類" list changed (the rectangle enables its colours).
    virtual void kindChanged(int) {}

    QGridLayout& attributeGrid() { return *m_attributes; }
    QComboBox* m_kindList = nullptr;
    QComboBox* m_lineType = nullptr;
    QComboBox* m_lineWidth = nullptr;
    ColorButton* m_lineColor = nullptr;
    QList<QWidget*> m_frameControls; // the pen's captions, lists and button
    formdesc::ColorRef m_lineColorValue = 0;
    formdesc::ColorRef m_meshColorValue = 0;

  private:
    void enableRepetition(int direction);

    QGridLayout* m_attributes = nullptr;
    QComboBox* m_loopDir = nullptr;
    QLineEdit* m_loopCount = nullptr;
    QLineEdit* m_loopPitch = nullptr;
    QLabel* m_loopUnit = nullptr;
    QList<QWidget*> m_repeatControls;
};

} // namespace editor
