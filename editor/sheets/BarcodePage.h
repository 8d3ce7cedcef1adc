#pragma once

#include "editor/sheets/BarcodePageRules.h"
#include "editor/sheets/ItemPage.h"

class QCheckBox;
class QComboBox;
class QRadioButton;

// A barcode's page: its position, the symbology, the content (a constant or
// the text of one of the form's fields), the human-readable text, the colour
// and, for QR codes, the error correction level.
namespace editor {

class BarcodePage : public ItemPage {
    Q_OBJECT

  public:
    BarcodePage(PropertySheetContext& context, QWidget* parent = nullptr);

    BarcodeValues values() const;
    void showValues(const BarcodeValues& values);
    bool store() override;
    bool differs() const override;

  protected:
    void showCurrent() override;
    QLineEdit* editFor(PageControl control) const override;

  private:
    formdesc::FigureInfo* currentBarcode() const;
    // Enables what the type and the content's source leave meaningful.
    void enableControls();

    QComboBox* m_type = nullptr;
    QRadioButton* m_fromConst = nullptr;
    QRadioButton* m_fromField = nullptr;
    QLineEdit* m_constText = nullptr;
    QComboBox* m_fieldTag = nullptr;
    QCheckBox* m_hri = nullptr;
    ColorButton* m_color = nullptr;
    QComboBox* m_ecc = nullptr;
    formdesc::ColorRef m_colorValue = 0;
};

} // namespace editor
