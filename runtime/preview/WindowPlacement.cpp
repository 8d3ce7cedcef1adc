#include "runtime/preview/WindowPlacement.h"

#include <QEvent>
#include <QGuiApplication>
#include <QScreen>
#include <QWidget>

namespace runtime {

namespace {

// The frame's margins as they stand: frame geometry less client geometry.
QMargins frameMargins(const QWidget& window) {
    const QRect frame = window.frameGeometry();
    const QRect client = window.geometry();
    return {client.left() - frame.left(), client.top() - frame.top(), frame.right() - client.right(),
            frame.bottom() - client.bottom()};
}

} // namespace

WindowPlacement::WindowPlacement(QWidget& window, const QRect& frame)
    : QObject(&window), m_window(window), m_frame(frame) {}

void WindowPlacement::placeByFrame(QWidget& window, const QRect& frame) {
    auto* placement = new WindowPlacement(window, frame); // owned by the window
    window.installEventFilter(placement);
    placement->place();
}

QScreen* WindowPlacement::screenOfWindowAt(const QRect& globalGeometry) {
    if (globalGeometry.isValid())
        if (QScreen* screen = QGuiApplication::screenAt(globalGeometry.center()))
            return screen;
    return QGuiApplication::primaryScreen();
}

void WindowPlacement::place() {
    const QMargins margins = frameMargins(m_window);
    if (margins == m_placedWith)
        return;
    m_placedWith = margins;
    // move() places a window's frame; resize() sizes its client area.
    m_window.move(m_frame.topLeft());
    m_window.resize(m_frame.size().shrunkBy(margins));
}

bool WindowPlacement::eventFilter(QObject* watched, QEvent* event) {
    if (watched == &m_window &&
        (event->type() == QEvent::Show || event->type() == QEvent::Move || event->type() == QEvent::Resize))
        place();
    return QObject::eventFilter(watched, event);
}

} // namespace runtime
