#include "runtime/preview/PreviewPictures.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <QPolygonF>

#include <algorithm>

namespace runtime {

namespace {

// Pictures are laid out on a 20 x 20 grid and scaled to the box.
constexpr qreal kGrid = 20.0;

void drawPrinter(QPainter& p, const QColor& ink, const QColor& paper) {
    p.setPen(QPen(ink, 1.2));
    p.setBrush(paper);
    p.drawRect(QRectF(6, 2, 8, 6)); // sheet going in
    p.setBrush(ink);
    p.drawRoundedRect(QRectF(2, 8, 16, 7), 1.5, 1.5); // body
    p.setBrush(paper);
    p.drawRect(QRectF(5, 13, 10, 5)); // sheet coming out
    p.setPen(QPen(ink, 0.8));
    p.drawLine(QPointF(7, 15), QPointF(13, 15));
    p.drawLine(QPointF(7, 16.5), QPointF(11.5, 16.5));
    p.setPen(QPen(paper, 1.2));
    p.drawPoint(QPointF(15.5, 10.5)); // lamp
}

void drawMagnifier(QPainter& p, const QColor& ink, const QColor& paper, bool active) {
    p.setBrush(active ? QColor(255, 236, 140) : paper);
    p.setPen(QPen(ink, 1.6));
    p.drawEllipse(QPointF(8, 8), 5.5, 5.5);
    p.setPen(QPen(ink, 3.0, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(12.2, 12.2), QPointF(17.5, 17.5));
    p.setPen(QPen(ink, 1.4));
    p.drawLine(QPointF(5.5, 8), QPointF(10.5, 8));
    if (active)
        p.drawLine(QPointF(8, 5.5), QPointF(8, 10.5));
}

void drawTriangle(QPainter& p, const QColor& ink, qreal tipX, qreal baseX) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawPolygon(QPolygonF({QPointF(tipX, 10), QPointF(baseX, 4), QPointF(baseX, 16)}));
}

void drawBar(QPainter& p, const QColor& ink, qreal x) {
    p.setPen(Qt::NoPen);
    p.setBrush(ink);
    p.drawRect(QRectF(x, 4, 2.5, 12));
}

void drawClose(QPainter& p, const QColor& ink, const QColor& paper) {
    // A door standing open, with the way out.
    p.setPen(QPen(ink, 1.2));
    p.setBrush(Qt::NoBrush);
    p.drawRect(QRectF(3, 2.5, 9, 15));
    QPainterPath door;
    door.moveTo(3, 2.5);
    door.lineTo(8, 4.5);
    door.lineTo(8, 19);
    door.lineTo(3, 17.5);
    door.closeSubpath();
    p.setBrush(paper);
    p.drawPath(door);
    p.setPen(QPen(ink, 1.6, Qt::SolidLine, Qt::RoundCap));
    p.drawLine(QPointF(11, 10), QPointF(18, 10));
    p.drawLine(QPointF(18, 10), QPointF(15.5, 7.5));
    p.drawLine(QPointF(18, 10), QPointF(15.5, 12.5));
}

} // namespace

void drawPreviewPicture(QPainter& painter, PreviewPicture picture, const QRectF& box, const QColor& ink,
                        const QColor& paper) {
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    const qreal side = std::min(box.width(), box.height());
    painter.translate(box.center().x() - side / 2, box.center().y() - side / 2);
    painter.scale(side / kGrid, side / kGrid);
    switch (picture) {
    case PreviewPicture::Print:
        drawPrinter(painter, ink, paper);
        break;
    case PreviewPicture::ZoomOff:
        drawMagnifier(painter, ink, paper, false);
        break;
    case PreviewPicture::ZoomOn:
        drawMagnifier(painter, ink, paper, true);
        break;
    case PreviewPicture::FirstPage:
        drawBar(painter, ink, 3);
        drawTriangle(painter, ink, 6.5, 16);
        break;
    case PreviewPicture::PreviousPage:
        drawTriangle(painter, ink, 5, 14.5);
        break;
    case PreviewPicture::NextPage:
        drawTriangle(painter, ink, 15, 5.5);
        break;
    case PreviewPicture::LastPage:
        drawTriangle(painter, ink, 13.5, 4);
        drawBar(painter, ink, 14.5);
        break;
    case PreviewPicture::Close:
        drawClose(painter, ink, paper);
        break;
    }
    painter.restore();
}

QCursor zoomCursor() {
    QPixmap pixmap(32, 32);
    pixmap.fill(Qt::transparent);
    {
        QPainter painter(&pixmap);
        painter.setRenderHint(QPainter::Antialiasing, true);
        // A white halo keeps the cursor visible on the black frame and texts.
        painter.setPen(QPen(Qt::white, 4.5, Qt::SolidLine, Qt::RoundCap));
        painter.drawEllipse(QPointF(12, 12), 8, 8);
        painter.drawLine(QPointF(18, 18), QPointF(28, 28));
        painter.setPen(QPen(Qt::black, 2.0, Qt::SolidLine, Qt::RoundCap));
        painter.setBrush(QColor(255, 255, 255, 160));
        painter.drawEllipse(QPointF(12, 12), 8, 8);
        painter.setPen(QPen(Qt::black, 3.0, Qt::SolidLine, Qt::RoundCap));
        painter.drawLine(QPointF(18, 18), QPointF(28, 28));
        painter.setPen(QPen(Qt::black, 1.5));
        painter.drawLine(QPointF(8, 12), QPointF(16, 12));
        painter.drawLine(QPointF(12, 8), QPointF(12, 16));
    }
    return QCursor(pixmap, 12, 12);
}

} // namespace runtime
