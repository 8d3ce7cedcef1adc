#include "ColorButton.h"

#include "AttributeControls.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace editor {

ColorButton::ColorButton(ColorSource color, QWidget* parent)
    : QAbstractButton(parent), m_color(std::move(color)) {
    // A click leaves the keyboard where it was; Tab still reaches the button.
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize ColorButton::sizeHint() const {
    const int side = fontMetrics().height() + 4;
    return {side * 3 / 2, side};
}

void ColorButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    paintColorSwatch(painter, rect(), m_color ? m_color() : 0, isEnabled());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(2, 2, -2, -2);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace editor
