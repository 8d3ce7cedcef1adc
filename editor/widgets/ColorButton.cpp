#include "editor/widgets/ColorButton.h"

#include "editor/widgets/AttributeControls.h"

#include <QPainter>

namespace editor {

ColorButton::ColorButton(ColorSource color, QWidget* parent)
    : OwnerDrawnButton(parent), m_color(std::move(color)) {}

QSize ColorButton::sizeHint() const {
    const int side = fontMetrics().height() + 4;
    return {side * 3 / 2, side};
}

void ColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintColorSwatch(painter, rect(), m_color ? m_color() : 0, isEnabled());
    drawFocusFrame(painter, 2);
}

} // namespace editor
