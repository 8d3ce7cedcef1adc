#pragma once

#include <QMargins>
#include <QObject>
#include <QRect>

class QScreen;
class QWidget;

// Places a top-level window by its frame: the title bar and the borders lie
// where the rectangle says, on the screen it lies on, not the client area
// alone (which would push the title bar off the top of the screen).
//
// The frame's margins are known only once the window is shown (a window
// manager adds them after the fact), so the window is placed before it is
// shown with the margins the platform gives then, and placed again, once
// for every new set of margins, when they become known. Moves by the user
// leave the margins as they are and are not undone.
namespace runtime {

class WindowPlacement : public QObject {
  public:
    // Places window (a top-level widget, not shown yet) with its frame at
    // frame. The placement lives as long as the window.
    static void placeByFrame(QWidget& window, const QRect& frame);

    // The screen that holds the centre of a window's global geometry, or the
    // primary screen when none does (or the geometry is unknown); null
    // without any screen.
    static QScreen* screenOfWindowAt(const QRect& globalGeometry);

  protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    WindowPlacement(QWidget& window, const QRect& frame);
    void place();

    QWidget& m_window;
    QRect m_frame;
    QMargins m_placedWith{-1, -1, -1, -1};
};

} // namespace runtime
