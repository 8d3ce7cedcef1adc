#include "editor/widgets/OwnerDrawnButton.h"

#include <QPainter>
#include <QStyle>
#include <QStyleOptionFocusRect>

namespace editor {

OwnerDrawnButton::OwnerDrawnButton(QWidget* parent) : QAbstractButton(parent) {
    setFocusPolicy(Qt::TabFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void OwnerDrawnButton::drawFocusFrame(QPainter& painter, int inset) {
    if (!hasFocus())
        return;
    QStyleOptionFocusRect focus;
    focus.initFrom(this);
    focus.rect = rect().adjusted(inset, inset, -inset, -inset);
    style()->drawPrimitive(QStyle::PE_FrameFocusRect, &focus, &painter, this);
}

} // namespace editor
