#include "runtime/preview/PreviewButton.h"

#include <QFontMetrics>
#include <QPainter>

namespace runtime {

namespace {

constexpr int kPictureSide = 20;
constexpr int kPadding = 4;

} // namespace

PreviewButton::PreviewButton(PreviewPicture picture, const QString& caption, QWidget* parent)
    : QAbstractButton(parent), m_picture(picture), m_checkedPicture(picture) {
    setText(caption);
    setFocusPolicy(Qt::StrongFocus);
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void PreviewButton::setCheckedPicture(PreviewPicture picture) {
    m_checkedPicture = picture;
    update();
}

QSize PreviewButton::sizeHint() const {
    const QFontMetrics metrics(font());
    const int width =
        std::max(metrics.horizontalAdvance(text()) + 2 * kPadding + 4, kPictureSide + 2 * kPadding);
    const int height = kPictureSide + metrics.height() + 2 * kPadding + 1;
    return {std::max(width, 58), height};
}

void PreviewButton::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const QPalette& pal = palette();
    const QRect frame = rect().adjusted(0, 0, -1, -1);
    const bool sunken = isDown() || isChecked();

    painter.fillRect(rect(), sunken ? pal.color(QPalette::Midlight) : pal.color(QPalette::Button));
    // Raised: light above and left, dark below and right; pressed the other way round.
    const QColor light = pal.color(QPalette::Light);
    const QColor dark = pal.color(QPalette::Dark);
    painter.setPen(sunken ? dark : light);
    painter.drawLine(frame.topLeft(), frame.topRight());
    painter.drawLine(frame.topLeft(), frame.bottomLeft());
    painter.setPen(sunken ? light : pal.color(QPalette::Shadow));
    painter.drawLine(frame.bottomLeft(), frame.bottomRight());
    painter.drawLine(frame.topRight(), frame.bottomRight());

    // Pressed contents move down and right by a pixel, as on a real button.
    const QPoint shift = isDown() ? QPoint(1, 1) : QPoint(0, 0);
    const QRect picture(QPoint((width() - kPictureSide) / 2, kPadding) + shift,
                        QSize(kPictureSide, kPictureSide));
    const QRect caption(QPoint(0, picture.bottom() + 1) + shift,
                        QSize(width(), height() - picture.bottom() - 3));
    const PreviewPicture shown = isChecked() ? m_checkedPicture : m_picture;

    if (isEnabled()) {
        drawPreviewPicture(painter, shown, picture, pal.color(QPalette::ButtonText),
                           pal.color(QPalette::Base));
        painter.setPen(pal.color(QPalette::ButtonText));
        painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, text());
    } else {
        // Disabled: etched, a light copy under a grey one.
        drawPreviewPicture(painter, shown, picture.translated(1, 1), light, light);
        drawPreviewPicture(painter, shown, picture, dark, pal.color(QPalette::Button));
        painter.setPen(light);
        painter.drawText(caption.translated(1, 1), Qt::AlignHCenter | Qt::AlignTop, text());
        painter.setPen(dark);
        painter.drawText(caption, Qt::AlignHCenter | Qt::AlignTop, text());
    }

    if (hasFocus()) {
        QPen focus(pal.color(QPalette::ButtonText), 1, Qt::DotLine);
        painter.setPen(focus);
        painter.setBrush(Qt::NoBrush);
        painter.drawRect(rect().adjusted(3, 3, -4, -4));
    }
}

} // namespace runtime
