#pragma once

#include "platform/PageTarget.h"
#include "platform/PdfDeflater.h"
#include "platform/PdfDirectBackend.h"

// One drawing lane of a direct PDF document: a backend and device context of
// its own and a compressor for its page contents. The device origin is the
// printable-area offset, as for the document's own pages.
namespace platform {

class PdfSharedNames;

class PdfPageLane : public PageLane {
  public:
    PdfPageLane(const PdfSharedNames& names, int dpi, double pageHeightPoints);

    DeviceContext& deviceContext() override { return m_dc; }
    void beginPage() override { m_backend.beginPage(); }
    std::unique_ptr<DrawnPage> endPage() override { return m_backend.takePage(m_deflater); }

  private:
    PdfDeflater m_deflater;
    PdfDirectBackend m_backend;
    DeviceContext m_dc;
};

} // namespace platform
