#pragma once

#include "platform/PageTarget.h"

#include <QImage>
#include <QPainter>

#include <memory>
#include <string>

// One drawing lane of PNG pages: a page image, a painter and a device context
// of its own. A page ends as its PNG file's bytes; the target writes them.
namespace platform {

class QtPainterBackend;

struct PngDrawnPage : DrawnPage {
    std::string bytes;
    bool encoded = false; // false: the encoder ran out of memory
};

class PngPageLane : public PageLane {
  public:
    // Throws std::bad_alloc when the page image cannot be had.
    PngPageLane(int width, int height, int dpi);
    ~PngPageLane() override;

    DeviceContext& deviceContext() override { return *m_dc; }
    void beginPage() override;
    std::unique_ptr<DrawnPage> endPage() override;

  private:
    QImage m_image;
    std::unique_ptr<QPainter> m_painter;
    std::unique_ptr<QtPainterBackend> m_backend;
    std::unique_ptr<DeviceContext> m_dc;
};

} // namespace platform
