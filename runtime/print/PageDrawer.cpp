#include "runtime/print/PageDrawer.h"

#include "runtime/compose/PageRules.h"

namespace runtime {

namespace {

// The form's page onto the target's paper, moved by the job's offsets.
platform::DeviceContext& mapped(platform::DeviceContext& dc, const PageJob& job,
                                const platform::PageTarget& target) {
    dc.setPaperShift(job.xOffset, job.yOffset);
    const platform::PaperTenths paper = target.paper();
    const formdesc::PrinterExtents extents = formdesc::printerExtents(
        job.pageSize.width, job.pageSize.height, paper.width, paper.height, target.dpiX(), target.dpiY());
    dc.setMapMode(platform::MapMode::Isotropic);
    dc.setWindowExt(extents.form.width, extents.form.height);
    dc.setViewportExt(extents.paper.width, extents.paper.height);
    return dc;
}

} // namespace

PageDrawer::PageDrawer(const PageJob& job, platform::DeviceContext& dc, const platform::PageTarget& target)
    : m_job(job), m_context{mapped(dc, job, target),
                            formdesc::printerGeometry(job.pageSize.width, job.pageSize.height,
                                                      job.model->form, target.dpiX(), target.dpiY()),
                            render::RenderPolicy::print(job.model->form), target.dpiY()},
      m_composer(*job.model, job.formFolder),
      m_prepared(dc, job.model->form, m_context.policy, target.dpiY()) {}

void PageDrawer::draw(PageBuffer& page, int pageNumber) {
    render::RenderContext pageContext = m_context;
    pageContext.policy.lastRow = figureLastRow(m_job.lastRow, pageNumber == m_job.pageCount);
    m_composer.composePage(pageContext, page, pageNumber);
}

} // namespace runtime
