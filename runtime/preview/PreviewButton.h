#pragma once

#include <QAbstractButton>

#include "runtime/preview/PreviewPictures.h"

// A toolbar button of the preview: our picture above its caption, in four
// looks (up, pressed, focused, disabled). A checkable button shows the
// checked picture while it is checked (the zoom mode button).
namespace runtime {

class PreviewButton : public QAbstractButton {
  public:
    PreviewButton(PreviewPicture picture, const QString& caption, QWidget* parent = nullptr);

    // The picture shown while the button is checked.
    void setCheckedPicture(PreviewPicture picture);

    QSize sizeHint() const override;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    PreviewPicture m_picture;
    PreviewPicture m_checkedPicture;
};

} // namespace runtime
