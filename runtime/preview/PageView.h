#pragma once

#include <QAbstractScrollArea>
#include <QImage>

#include <functional>

#include "platform/DeviceContext.h"
#include "runtime/preview/PreviewRules.h"

// The preview's page area: the current page on a grey desk at the zoom,
// composed into a back buffer as large as the desktop and copied to the
// window. The scroll bars move the page's origin by the preview's scroll
// rules (range 0..100, a step of a hundredth of the zoomed page); in zoom
// mode a left click zooms in and a right click zooms out.
namespace runtime {

class PreviewPages;

class PageView : public QAbstractScrollArea {
  public:
    // zoom: percent, or 0 for the whole page, settled when the view first
    // gets its size.
    PageView(PreviewPages& pages, int zoom, QWidget* parent = nullptr);
    ~PageView() override;

    int zoom() const { return m_zoom; }
    // Takes the zoom and shows the page again (placed for it).
    void setZoom(int percent);
    // The whole-page zoom for the view's present size.
    int wholePageZoom() const;
    // The page, the zoom or the size changed: place the page, set the scroll
    // bars and compose again.
    void refresh();

    void setZoomMode(bool on);
    bool zoomMode() const { return m_zoomMode; }

    // One scroll action, as a click on a scroll bar gives it.
    void scrollPage(Qt::Orientation orientation, preview::ScrollCode code, int thumbPosition = 0);
    preview::Origin scrollOrigin() const { return m_origin; }

    // The zoom changed from within the view (first size, a click in zoom mode).
    void setZoomChangedHandler(std::function<void(int)> handler) { m_zoomChanged = std::move(handler); }
    // Called after every paint.
    void setPaintedHandler(std::function<void()> handler) { m_painted = std::move(handler); }

    const QImage& backBuffer() const { return m_buffer; }
    // How often the page was composed (a paint after a plain resize copies).
    int compositions() const { return m_compositions; }

  protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void scrollContentsBy(int dx, int dy) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    preview::Extent zoomedPage() const;
    preview::Extent viewExtent() const;
    void placePage();
    void updateScrollBars();
    void onScrollAction(Qt::Orientation orientation, int action);
    void ensureBuffer();
    void composePage();
    static void drawPageFrame(platform::DeviceContext& dc, const platform::Rect& page);

    PreviewPages& m_pages;
    int m_zoom;
    preview::Origin m_origin{preview::kMargin, preview::kMargin};
    bool m_zoomMode = false;
    bool m_sized = false;
    bool m_everPainted = false;
    bool m_copyOnly = false;
    int m_compositions = 0;
    int m_wheelRemainder = 0;
    QImage m_buffer;
    std::function<void(int)> m_zoomChanged;
    std::function<void()> m_painted;
};

} // namespace runtime
