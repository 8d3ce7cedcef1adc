#include "editor/widgets/BitmapButton.h"

#include "editor/widgets/AttributeControls.h"

#include <QPainter>

namespace editor {

BitmapButton::BitmapButton(PictureSource picture, QWidget* parent)
    : OwnerDrawnButton(parent), m_picture(std::move(picture)) {}

QSize BitmapButton::sizeHint() const {
    return m_picture ? m_picture().deviceIndependentSize().toSize() : QSize(16, 16);
}

void BitmapButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_picture)
        paintBitmapButton(painter, rect(), m_picture());
    drawFocusFrame(painter, 3);
}

} // namespace editor
