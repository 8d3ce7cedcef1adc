#pragma once

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>

#include "editor/canvas/FormCanvas.h"

// Drives a canvas as a user does: presses, moves with the button held and
// releases, sent as real mouse events to its viewport, at points named by
// grid cells.
namespace testsupport {

class CanvasDriver {
  public:
    explicit CanvasDriver(editor::FormCanvas& canvas) : m_canvas(canvas) {}

    // A point inside a cell: fx and fy from 0 (left, top) to 100 (right, bottom).
    QPoint at(int col, int row, int fx = 50, int fy = 50) const {
        const platform::Rect r =
            editor::CanvasGeometry::fieldWindowRect(m_canvas.view(), {col, row, col, row});
        // The window rectangle reaches one pixel before and two after the cell.
        const int left = r.left + 1;
        const int top = r.top + 1;
        const int w = r.right - 2 - left;
        const int h = r.bottom - 2 - top;
        return {left + 1 + (w - 2) * fx / 100, top + 1 + (h - 2) * fy / 100};
    }

    void press(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        m_held |= button;
        send(QEvent::MouseButtonPress, p, button);
    }
    void move(QPoint p) { send(QEvent::MouseMove, p, Qt::NoButton); }
    void release(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        m_held &= ~Qt::MouseButtons(button);
        send(QEvent::MouseButtonRelease, p, button);
    }
    void doubleClick(QPoint p) {
        press(p);
        release(p);
        m_held |= Qt::LeftButton;
        send(QEvent::MouseButtonDblClick, p, Qt::LeftButton);
        release(p);
    }
    void click(QPoint p, Qt::MouseButton button = Qt::LeftButton) {
        press(p, button);
        release(p, button);
    }
    // Press, move in a few steps, release.
    void drag(QPoint from, QPoint to) {
        press(from);
        for (int step = 1; step <= 4; ++step)
            move(from + (to - from) * step / 4);
        release(to);
    }
    void key(int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        QKeyEvent event(QEvent::KeyPress, key, modifiers);
        QApplication::sendEvent(&m_canvas, &event);
    }

  private:
    void send(QEvent::Type type, QPoint p, Qt::MouseButton button) {
        QWidget* target = m_canvas.viewport();
        QMouseEvent event(type, p, target->mapToGlobal(p), button, m_held, Qt::NoModifier);
        QApplication::sendEvent(target, &event);
    }

    editor::FormCanvas& m_canvas;
    Qt::MouseButtons m_held;
};

} // namespace testsupport
