#pragma once

#include "formdesc/FormModel.h"
#include "formdesc/FormReader.h"
#include "formdesc/PageGeometry.h"
#include "platform/PageTarget.h"
#include "render/RenderContext.h"
#include "runtime/compose/PageComposer.h"

#include <filesystem>

// What draws a job's pages on one device context: the form mapped onto the
// target's paper, the render context, a composer with its own bitmap and
// barcode caches, and the device context prepared for the form. The print
// job has one for the target's own surface, or one per worker thread.
namespace runtime {

// What every page of a job is drawn with.
struct PageJob {
    const formdesc::FormModel* model = nullptr;
    formdesc::PageSizeTenths pageSize;
    std::filesystem::path formFolder;
    int xOffset = 0;
    int yOffset = 0;
    int lastRow = 0;   // the control statement's LASTROW
    int pageCount = 0; // the job's, for the last-row rule
};

class PageDrawer {
  public:
    PageDrawer(const PageJob& job, platform::DeviceContext& dc, const platform::PageTarget& target);
    PageDrawer(const PageDrawer&) = delete;
    PageDrawer& operator=(const PageDrawer&) = delete;

    // Composes the page (between the surface's beginPage and endPage).
    void draw(PageBuffer& page, int pageNumber);
    PageComposer& composer() { return m_composer; }

  private:
    PageJob m_job;
    render::RenderContext m_context;
    PageComposer m_composer;
    PreparedDeviceContext m_prepared;
};

} // namespace runtime
