#include "runtime/print/AbortDialog.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

namespace runtime {

namespace {

// A small printer with a sheet coming out of it, drawn at the given size.
QPixmap printerPicture(int size) {
    QPixmap picture(size, size);
    picture.fill(Qt::transparent);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.scale(size / 32.0, size / 32.0);
    const QPen outline(QColor(0x30, 0x30, 0x30), 1.2);
    painter.setPen(outline);
    // The sheet waiting at the back.
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(9, 3, 14, 10));
    // The body with its paper slot and a lamp.
    QPainterPath body;
    body.addRoundedRect(QRectF(3, 11, 26, 12), 2, 2);
    painter.setBrush(QColor(0xB8, 0xBE, 0xC8));
    painter.drawPath(body);
    painter.setBrush(QColor(0x50, 0x55, 0x60));
    painter.drawRect(QRectF(8, 19, 16, 2));
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(0x20, 0xB0, 0x40));
    painter.drawEllipse(QPointF(25, 15), 1.3, 1.3);
    // The printed sheet with a few lines of text.
    painter.setPen(outline);
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(9, 20, 14, 10));
    painter.setPen(QPen(QColor(0x40, 0x60, 0xA0), 1));
    for (int y = 23; y <= 28; y += 2)
        painter.drawLine(QPointF(11, y), QPointF(y == 27 ? 17 : 21, y));
    return picture;
}

QString progressFormat(int pageNumber) {
    return QStringLiteral("%1 ﾍﾟｰｼﾞ目を印刷しています。").arg(pageNumber);
}

} // namespace

AbortDialog::AbortDialog()
    : QDialog(nullptr,
              Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint) {
    setWindowTitle(QStringLiteral("印刷の中断"));
    auto* picture = new QLabel(this);
    picture->setPixmap(printerPicture(fontMetrics().height() * 2));
    m_text = new QLabel(progressFormat(1), this);
    m_text->setAlignment(Qt::AlignCenter);
    m_text->setMinimumWidth(fontMetrics().horizontalAdvance(progressFormat(9999)));
    m_stopButton = new QPushButton(QStringLiteral("中断"), this);
    m_stopButton->setAutoDefault(false);
    connect(m_stopButton, &QPushButton::clicked, this, &AbortDialog::reject);

    auto* top = new QHBoxLayout;
    top->addWidget(picture, 0, Qt::AlignTop);
    top->addWidget(m_text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(top);
    layout->addWidget(m_stopButton, 0, Qt::AlignHCenter);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void AbortDialog::showPage(int pageNumber) {
    m_text->setText(progressFormat(pageNumber));
}

QString AbortDialog::progressText() const {
    return m_text->text();
}

void AbortDialog::centreOnScreen() {
    const QScreen* where = screen();
    if (!where)
        return;
    adjustSize();
    QRect frame = frameGeometry();
    frame.moveCenter(where->availableGeometry().center());
    move(frame.topLeft());
}

void AbortDialog::reject() {
    m_stopRequested = true;
    QDialog::reject();
}

} // namespace runtime
