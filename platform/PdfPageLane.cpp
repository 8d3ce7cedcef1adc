#include "platform/PdfPageLane.h"

namespace platform {

namespace {

// Page content is written often and read once: the fastest level pays.
constexpr int kContentLevel = 1;

} // namespace

PdfPageLane::PdfPageLane(const PdfSharedNames& names, int dpi, double pageHeightPoints)
    : m_deflater(kContentLevel), m_backend(names, dpi, dpi, pageHeightPoints), m_dc(m_backend) {
    m_dc.setDeviceOffset(printableOffset(dpi), printableOffset(dpi));
}

} // namespace platform
