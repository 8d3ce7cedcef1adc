#include "runtime/preview/PreviewPages.h"

#include <filesystem>

#include "formdesc/FormMessages.h"
#include "formdesc/ShiftJis.h"
#include "platform/EventPump.h"
#include "runtime/compose/PageRules.h"
#include "runtime/data/JobData.h"
#include "runtime/data/RuntimeMessages.h"

namespace runtime {

PreviewPages::PreviewPages(std::string formPath, std::string dataPath, const char* control)
    : m_formPath(std::move(formPath)), m_dataPath(std::move(dataPath)),
      m_options(parseControlOptions(control)), m_model(std::make_unique<formdesc::FormModel>()),
      m_page(std::make_unique<PageBuffer>()) {}

PreviewPages::~PreviewPages() = default;

void PreviewPages::setCallerOptions(const CallerOptions& caller) {
    applyCallerOptions(m_options, caller);
    m_dataFromStandardInput = caller.dataFromStandardInput;
}

bool PreviewPages::readForm() {
    if (!m_options.refusedKey.empty()) {
        reportControlError(m_options.refusedKey);
        return false;
    }
    if (!formdesc::readFormFile(m_formPath, *m_model, formdesc::ReaderVariant::Preview, &m_pageSize))
        return false;
    m_composer = std::make_unique<PageComposer>(*m_model, std::filesystem::path(m_formPath).parent_path(),
                                                PageComposer::PageUse::Recompose);
    setResolution(96, 96);
    return true;
}

bool PreviewPages::loadFirstPage() {
    if (!prepareJobData(m_data, m_dataPath, m_dataFromStandardInput, m_options, *m_model))
        return false;
    if (!loadPage(m_data.path(), 0, m_model->form, *m_page, platform::pumpPendingEvents)) {
        reportRuntimeError(kMessageDataFile);
        return false;
    }
    m_currentPage = 1;
    return true;
}

bool PreviewPages::buildIndex() {
    auto index = runtime::buildPageIndex(m_data.path(), m_model->form.rows, platform::pumpPendingEvents);
    if (!index) {
        reportRuntimeError(kMessageDataFile);
        return false;
    }
    m_index = std::move(*index);
    return true;
}

bool PreviewPages::goTo(int pageNumber) {
    // Loading dispatches pending events; a second request arriving meanwhile
    // must not fill the same buffer under the first one.
    if (m_loading)
        return false;
    m_loading = true;
    const bool loaded =
        goToPage(m_data.path(), m_index, pageNumber, m_model->form, *m_page, platform::pumpPendingEvents);
    m_loading = false;
    if (!loaded) {
        reportRuntimeError(kMessageDataFile);
        return false;
    }
    m_currentPage = pageNumber;
    return true;
}

void PreviewPages::reportReplacements() const {
    if (m_data.replacements() > 0)
        reportReplacedCharacters(m_data.replacements(), m_data.firstReplacedLine());
}

void PreviewPages::setResolution(int dpiX, int dpiY) {
    m_dpiY = dpiY;
    m_geometry = formdesc::previewGeometry(m_pageSize.width, m_pageSize.height, m_model->form, dpiX, dpiY);
}

std::string PreviewPages::title() const {
    return formdesc::sjis::toUtf8(formdesc::sjis::view(m_model->form.title));
}

void PreviewPages::showPendingWarnings() {
    if (m_composer && m_composer->hasPendingWarnings())
        m_composer->showPendingWarnings();
}

void PreviewPages::compose(platform::DeviceContext& dc) {
    if (!m_composer)
        return;
    render::RenderContext context{dc, m_geometry, render::RenderPolicy::preview(), m_dpiY};
    context.policy.lastRow = figureLastRow(m_options.lastRow, isLastPage());
    m_composer->composePage(context, *m_page, m_currentPage);
}

} // namespace runtime
