#pragma once

#include <QColor>
#include <QCursor>
#include <QRectF>

class QPainter;

// The pictures of the preview's toolbar buttons and the zoom cursor, drawn
// with a painter so that they scale with the button and need no image files.
namespace runtime {

enum class PreviewPicture { Print, ZoomOff, ZoomOn, FirstPage, PreviousPage, NextPage, LastPage, Close };

// Draws the picture into the box in the given ink; `paper` fills the parts
// that are light in the picture (the sheet of the printer, the lens).
void drawPreviewPicture(QPainter& painter, PreviewPicture picture, const QRectF& box, const QColor& ink,
                        const QColor& paper);

// The zoom mode's cursor: a magnifier whose hot spot is the lens's centre.
QCursor zoomCursor();

} // namespace runtime
