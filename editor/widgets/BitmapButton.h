#pragma once

#include "editor/widgets/OwnerDrawnButton.h"

#include <QPixmap>

#include <functional>

// A push button drawn as one picture, which already shows the button raised or
// pressed. The owner decides which picture stands for the current state.
namespace editor {

class BitmapButton : public OwnerDrawnButton {
    Q_OBJECT

  public:
    using PictureSource = std::function<QPixmap()>;
    explicit BitmapButton(PictureSource picture, QWidget* parent = nullptr);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    PictureSource m_picture;
};

} // namespace editor
