#pragma once

#include <QAbstractButton>

class QPainter;

// A push button that paints its own face (a colour swatch, a picture). A
// click leaves the keyboard where it was; Tab still reaches the button, and
// the focus frame shows when it has the focus.
namespace editor {

class OwnerDrawnButton : public QAbstractButton {
    Q_OBJECT

  protected:
    explicit OwnerDrawnButton(QWidget* parent);

    // The focus frame, inset from the edges, when the button has the focus.
    void drawFocusFrame(QPainter& painter, int inset);
};

} // namespace editor
