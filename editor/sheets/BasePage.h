#pragma once

#include "editor/sheets/PropertyPage.h"

#include <array>

class QButtonGroup;
class QComboBox;
class QGroupBox;
class QRadioButton;

// The form's page: title, tag mode, paper, direction, grid, margins, the
// form's font and its pens and colours.
namespace editor {

class BasePage : public PropertyPage {
    Q_OBJECT

  public:
    BasePage(PropertySheetContext& context, QWidget* parent = nullptr);

    BaseValues values() const;
    void showValues(const BaseValues& values);
    bool store() override;

  protected:
    QLineEdit* editFor(PageControl control) const override;

  private:
    QGroupBox* buildManagement();
    QGroupBox* buildPaper();
    QGroupBox* buildDirection();
    QGroupBox* buildGrid();
    QGroupBox* buildMargins();
    QGroupBox* buildFont();
    QGroupBox* buildFigure();

    QLineEdit* m_title = nullptr;
    QComboBox* m_tagMode = nullptr;
    QButtonGroup* m_paper = nullptr;
    QRadioButton* m_landscape = nullptr;
    QRadioButton* m_portrait = nullptr;
    QLineEdit* m_rows = nullptr;
    QLineEdit* m_columns = nullptr;
    QLineEdit* m_topMargin = nullptr;
    QLineEdit* m_leftMargin = nullptr;
    QComboBox* m_lineType = nullptr;
    QComboBox* m_lineWidth = nullptr;
    // The page's own colours, shown by the buttons until a store takes them.
    formdesc::ColorRef m_textColorValue = 0;
    formdesc::ColorRef m_lineColorValue = 0;
    formdesc::ColorRef m_meshColorValue = 0;
    ColorButton* m_lineColor = nullptr;
    ColorButton* m_meshColor = nullptr;
};

} // namespace editor
