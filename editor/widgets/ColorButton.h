#pragma once

#include "formdesc/FormModel.h"

#include "editor/widgets/OwnerDrawnButton.h"

#include <functional>

// A push button that shows a colour as a swatch. The colour belongs to the
// button's owner (a page's value, a current attribute), which the button asks
// for whenever it paints; after changing it the owner repaints the button.
namespace editor {

class ColorButton : public OwnerDrawnButton {
    Q_OBJECT

  public:
    using ColorSource = std::function<formdesc::ColorRef()>;
    explicit ColorButton(ColorSource color, QWidget* parent = nullptr);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    ColorSource m_color;
};

} // namespace editor
