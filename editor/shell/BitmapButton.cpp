#include "BitmapButton.h"

#include "AttributeControls.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace editor {

BitmapButton::BitmapButton(PictureSource picture, QWidget* parent)
    : QAbstractButton(parent), m_picture(std::move(picture)) {
    // A click leaves the keyboard where it was; Tab still reaches the button.
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

QSize BitmapButton::sizeHint() const {
    return m_picture ? m_picture().deviceIndependentSize().toSize() : QSize(16, 16);
}

void BitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_picture)
        paintBitmapButton(painter, rect(), m_picture());
    if (hasFocus()) {
        QStyleOptionFocusRect focus;
        focus.initFrom(this);
        focus.rect = rect().adjusted(3, 3, -3, -3);
        style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
    }
}

} // namespace editor
