#include "runtime/print/OwnerWindow.h"

#include "platform/QtMessageSink.h"

#include <QWidget>
#include <QWindow>

namespace runtime {

OwnerWindow::OwnerWindow(std::uintptr_t id) {
    // The offscreen platform has no foreign windows (and nobody to see them).
    if (id != 0 && platform::QtMessageSink::canShowWindows())
        m_window.reset(QWindow::fromWinId(static_cast<WId>(id)));
}

// Deleting a foreign window object leaves the caller's window alone.
OwnerWindow::~OwnerWindow() = default;

void OwnerWindow::adopt(QWidget& widget) const {
    if (!m_window)
        return;
    widget.winId(); // creates the native window, so that it has a handle
    if (QWindow* handle = widget.windowHandle())
        handle->setTransientParent(m_window.get());
}

QRect OwnerWindow::globalGeometry() const {
    if (!m_window)
        return {};
    // The caller's window may be a child of its own top level: its place on
    // the desktop comes from the windowing system.
    return {m_window->mapToGlobal(QPoint(0, 0)), m_window->size().expandedTo(QSize(1, 1))};
}

} // namespace runtime
