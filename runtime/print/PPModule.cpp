#include "runtime/print/PPModule.h"

#include "formdesc/FormMessages.h"
#include "formdesc/PageGeometry.h"
#include "formdesc/ShiftJis.h"
#include "platform/EventPump.h"
#include "runtime/compose/PageComposer.h"
#include "runtime/compose/PageRules.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/JobData.h"
#include "runtime/data/PageReader.h"
#include "runtime/data/RuntimeMessages.h"
#include "runtime/print/PageDrawer.h"
#include "runtime/print/PageWorkers.h"

#include <algorithm>
#include <filesystem>
#include <new>

namespace runtime {

PPModule::PPModule(std::string formPath, std::string dataPath, const char* control)
    : m_formPath(std::move(formPath)), m_dataPath(std::move(dataPath)),
      m_options(parseControlOptions(control)), m_model(std::make_unique<formdesc::FormModel>()) {}

void PPModule::setCallerOptions(const CallerOptions& caller) {
    applyCallerOptions(m_options, caller);
    m_dataFromStandardInput = caller.dataFromStandardInput;
    if (caller.pages)
        m_pages = *caller.pages;
    m_threads = caller.threads;
}

int PPModule::run(const TargetChooser& chooser, PrintProgress* progress) {
    int result = kPrintCannotStart;
    try {
        result = runJob(chooser, progress);
    } catch (const std::bad_alloc&) {
        // The output went unfinished with the unwinding: nothing is committed.
        reportNoMemory();
    }
    if (m_data.replacements() > 0)
        reportReplacedCharacters(m_data.replacements(), m_data.firstReplacedLine());
    m_data.remove();
    return result;
}

int PPModule::runJob(const TargetChooser& chooser, PrintProgress* progress) {
    if (!m_options.refusedKey.empty()) {
        reportControlError(m_options.refusedKey);
        return kPrintFormFailed;
    }
    if (!formdesc::readFormFile(m_formPath, *m_model, formdesc::ReaderVariant::Print, &m_pageSize))
        return kPrintFormFailed;
    if (!prepareJobData(m_data, m_dataPath, m_dataFromStandardInput, m_options, *m_model))
        return kPrintDataFailed;
    const auto pages = countJobPages(m_data, m_model->form.rows, m_pages.first, m_firstPageStart,
                                     platform::pumpPendingEvents);
    if (!pages) {
        reportRuntimeError(kMessageDataFile);
        return kPrintDataFailed;
    }
    m_pageCount = *pages;
    // A part that begins after the job's last page has nothing to print:
    // refused before any output is made.
    if (m_pages.first > m_pageCount) {
        reportNoPagesInRange(m_pages.first, m_pageCount);
        return kPrintDataFailed;
    }

    ChosenTarget chosen = chooser(m_model->form, m_pageSize, m_options);
    if (!chosen.target) {
        if (chosen.failure == kPrintCancelled)
            return kPrintCancelled;
        m_outputError = chosen.reason;
        reportRuntimeError(kMessageNoDevice);
        return kPrintNoDevice;
    }
    return printPages(*chosen.target, progress);
}

// One page after the other on the target's own surface: printers, and file
// targets with one thread.
void PPModule::printInTurn(platform::PageTarget& target, PageReader& reader, const PageJob& job,
                           PrintProgress* progress) {
    const formdesc::FormInfo& form = m_model->form;
    PageDrawer drawer(job, target.deviceContext(), target);
    auto page = std::make_unique<PageBuffer>();
    while (reader.pageNumber() < m_pages.last && reader.nextPage(*page, form, platform::pumpPendingEvents)) {
        if (progress && progress->stopRequested())
            break;
        if (progress)
            progress->showPage(reader.pageNumber());
        target.beginPage();
        drawer.draw(*page, reader.pageNumber());
        target.endPage();
        ++m_pagesPrinted;
        if (target.outputFailed())
            break; // the later pages could not go anywhere
    }
}

// Pages drawn on worker threads, put into the target in page order.
void PPModule::printOnWorkers(platform::PageTarget& target, PageReader& reader, const PageJob& job,
                              int threads, PrintProgress* progress) {
    const formdesc::FormInfo& form = m_model->form;
    PageWorkers workers(target, job, threads);
    bool stopped = false;
    const auto next = [&](PageBuffer& page, int& pageNumber) {
        if (stopped || reader.pageNumber() >= m_pages.last ||
            !reader.nextPage(page, form, platform::pumpPendingEvents))
            return false;
        pageNumber = reader.pageNumber();
        return true;
    };
    const auto put = [&](int pageNumber) {
        ++m_pagesPrinted;
        if (progress)
            progress->showPage(pageNumber);
        stopped = (progress && progress->stopRequested()) || target.outputFailed();
        return !stopped;
    };
    workers.run(next, put);
}

int PPModule::printPages(platform::PageTarget& target, PrintProgress* progress) {
    PageReader reader;
    // The file was counted a moment ago; emptied since, it has nothing to print.
    if (!reader.open(m_data.path(), m_firstPageStart, m_pages.first) || reader.atEnd()) {
        reportRuntimeError(kMessageDataFile);
        return kPrintDataFailed;
    }
    const formdesc::FormInfo& form = m_model->form;
    if (!target.beginDocument(formdesc::sjis::toUtf8(formdesc::sjis::view(form.title)))) {
        m_outputError = target.errorText();
        reportRuntimeError(kMessageCannotPrint);
        return kPrintCannotStart;
    }

    const PageJob job{m_model.get(),     m_pageSize,        std::filesystem::path(m_formPath).parent_path(),
                      m_options.xOffset, m_options.yOffset, m_options.lastRow,
                      m_pageCount};
    if (progress)
        progress->open();
    const int pagesLeft = std::min(m_pages.last, m_pageCount) - m_pages.first + 1;
    const int threads = std::clamp(m_threads, 1, std::max(1, pagesLeft));
    if (threads > 1 && target.hasLanes())
        printOnWorkers(target, reader, job, threads, progress);
    else
        printInTurn(target, reader, job, progress);
    if (progress)
        progress->close();
    // On a failure the document is not ended: the target drops it unfinished
    // (no temporary file put in place, nothing handed to the spooler).
    if (reader.failed()) {
        reportRuntimeError(kMessageDataFile);
        return kPrintDataFailed;
    }
    if (target.outputFailed()) {
        m_outputError = target.errorText();
        reportRuntimeError(kMessageCannotPrint);
        return kPrintCannotStart;
    }
    if (!target.endDocument()) {
        m_outputError = target.errorText();
        reportRuntimeError(kMessageCannotPrint);
        return kPrintCannotStart;
    }
    return kPrintDone;
}

} // namespace runtime
