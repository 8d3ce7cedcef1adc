#include "platform/PngPageLane.h"

#include "platform/PngWriter.h"
#include "platform/QtPainterBackend.h"

#include <QBuffer>

#include <new>

namespace platform {

PngPageLane::PngPageLane(int width, int height, int dpi) : m_image(width, height, QImage::Format_RGB32) {
    if (m_image.isNull())
        throw std::bad_alloc();
    const int dotsPerMeter = static_cast<int>(dpi * 10000LL / 254);
    m_image.setDotsPerMeterX(dotsPerMeter);
    m_image.setDotsPerMeterY(dotsPerMeter);
    m_painter = std::make_unique<QPainter>(&m_image);
    m_backend = std::make_unique<QtPainterBackend>(*m_painter, dpi, dpi);
    m_dc = std::make_unique<DeviceContext>(*m_backend);
    m_dc->setDeviceOffset(printableOffset(dpi), printableOffset(dpi));
}

PngPageLane::~PngPageLane() {
    m_dc.reset();
    m_backend.reset();
    if (m_painter && m_painter->isActive())
        m_painter->end();
}

void PngPageLane::beginPage() {
    m_painter->fillRect(m_image.rect(), Qt::white);
}

std::unique_ptr<DrawnPage> PngPageLane::endPage() {
    m_backend->flush();
    // The image is encoded with no painter on it, then painted on again.
    m_painter->end();
    auto page = std::make_unique<PngDrawnPage>();
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    page->encoded = writeFastPng(m_image, buffer);
    page->bytes.assign(bytes.constData(), std::size_t(bytes.size()));
    m_painter->begin(&m_image);
    m_backend->applyRenderHints();
    return page;
}

} // namespace platform
