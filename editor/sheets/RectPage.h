#pragma once

#include "editor/sheets/FigurePage.h"

// A rectangle's page: frame, fill or both, the pen, both colours and the
// repetition. The pen is off while only the fill is drawn, the fill colour
// while only the frame is.
namespace editor {

class RectPage : public FigurePage {
    Q_OBJECT

  public:
    RectPage(PropertySheetContext& context, QWidget* parent = nullptr);
    bool store() override;

  protected:
    void kindChanged(int meshKind) override;

  private:
    QList<QWidget*> m_fillControls;
};

} // namespace editor
