#pragma once

#include <cstdint>
#include <memory>

#include <QRect>

class QWidget;
class QWindow;

// The caller's window, named by its native id. The job's message boxes and
// its print dialog are made transient for it so that the window manager keeps
// them above the caller's window. Best effort: without a windowing system, or
// when the id names nothing, the job's windows simply have no owner.
namespace runtime {

class OwnerWindow {
  public:
    // id 0 means the caller has no window.
    explicit OwnerWindow(std::uintptr_t id);
    ~OwnerWindow();
    OwnerWindow(const OwnerWindow&) = delete;
    OwnerWindow& operator=(const OwnerWindow&) = delete;

    // Makes a top-level widget transient for the owner; call before showing it.
    void adopt(QWidget& widget) const;
    bool exists() const { return m_window != nullptr; }
    // Where the owner lies on the desktop, in global coordinates; empty when
    // there is no owner.
    QRect globalGeometry() const;

  private:
    std::unique_ptr<QWindow> m_window;
};

} // namespace runtime
