#pragma once

#include "editor/sheets/ItemPage.h"

// A bitmap's page: its position and the file it shows.
namespace editor {

class BitmapPage : public ItemPage {
    Q_OBJECT

  public:
    BitmapPage(PropertySheetContext& context, QWidget* parent = nullptr);

    BitmapValues values() const;
    void showValues(const BitmapValues& values);
    bool store() override;

  protected:
    void showCurrent() override;
    QLineEdit* editFor(PageControl control) const override;

  private:
    formdesc::FigureInfo* currentBitmap() const;
    void browse();

    QLineEdit* m_fileName = nullptr;
};

} // namespace editor
