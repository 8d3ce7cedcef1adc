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
    bool differs() const override;

  protected:
    void showCurrent() override;
    QLineEdit* editFor(PageControl control) const override;

  private:
    formdesc::FigureInfo* currentBitmap() const;
    void browse();

    QLineEdit* m_fileName = nullptr;
};

// The name a chosen bitmap is stored under: relative to the form's folder
// when the file lies in it or below (forms move with their pictures), else
// the full path as chosen. An empty folder (a new form) keeps the full path.
QString bitmapNameForForm(const QString& chosen, const QString& formFolder);

} // namespace editor
