#pragma once

#include "editor/sheets/ItemPage.h"

class QCheckBox;

// A field's page: position (one row), tag, font, colour, decorations and
// constant text.
namespace editor {

class FieldPage : public ItemPage {
    Q_OBJECT

  public:
    FieldPage(PropertySheetContext& context, QWidget* parent = nullptr);

    FieldValues values() const;
    void showValues(const FieldValues& values);
    bool store() override;
    bool differs() const override;

  protected:
    void showCurrent() override;
    QLineEdit* editFor(PageControl control) const override;

  private:
    QLineEdit* m_tag = nullptr;
    QCheckBox* m_wide = nullptr;
    QCheckBox* m_center = nullptr;
    QCheckBox* m_space = nullptr;
    QCheckBox* m_onLine = nullptr;
    QCheckBox* m_minus = nullptr;
    QLineEdit* m_constText = nullptr;
    formdesc::ColorRef m_textColorValue = 0;
};

} // namespace editor
