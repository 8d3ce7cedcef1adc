#pragma once

#include <memory>
#include <string>

#include "formdesc/FormModel.h"
#include "formdesc/FormReader.h"
#include "formdesc/PageGeometry.h"
#include "runtime/compose/PageComposer.h"
#include "runtime/data/ControlOptions.h"
#include "runtime/data/DataPages.h"
#include "runtime/data/DataSpool.h"
#include "runtime/data/PageBuffer.h"

// What the preview shows, without the windows: the form read for the
// preview, the job's options, the page of data on show, the index of the
// data file's pages and the grid on the screen. Failures show their message
// here (the form reader's, or "帳票データがオープンできません") and are
// returned as false.
namespace runtime {

class PreviewPages {
  public:
    // control may be null.
    PreviewPages(std::string formPath, std::string dataPath, const char* control);
    ~PreviewPages();
    PreviewPages(const PreviewPages&) = delete;
    PreviewPages& operator=(const PreviewPages&) = delete;

    // The command line's own options, set before readForm().
    void setCallerOptions(const CallerOptions& caller);
    // Checks the control statement's values, then reads and checks the form
    // as the preview reads it.
    bool readForm();
    // Makes the data ready (standard input, UTF-8) and loads page 1 from its
    // start; the current page is 1.
    bool loadFirstPage();
    // The warning about characters of UTF-8 data replaced by "？", when any were.
    void reportReplacements() const;
    // Indexes every page of the data file. Needed before goTo().
    bool buildIndex();
    // Loads the indexed page; the current page changes only on success. A
    // failure leaves the page on show as it was.
    bool goTo(int pageNumber);

    // The grid for a screen of this resolution.
    void setResolution(int dpiX, int dpiY);

    const std::string& formPath() const { return m_formPath; }
    // The file the pages are read from (a private copy for standard input or
    // UTF-8 data).
    const std::string& dataPath() const { return m_data.path(); }
    const ControlOptions& options() const { return m_options; }
    const formdesc::FormModel& model() const { return *m_model; }
    const formdesc::PageGeometry& geometry() const { return m_geometry; }
    int dpiY() const { return m_dpiY; }
    // The form's title as UTF-8.
    std::string title() const;

    int currentPage() const { return m_currentPage; }
    // 0 until the index is built.
    int pageCount() const { return m_index.pageCount; }
    bool isLastPage() const { return m_currentPage == m_index.pageCount; }
    const PageBuffer& page() const { return *m_page; }

    // Composes the page on show on a device whose mapping is set and which
    // has been prepared for the preview.
    void compose(platform::DeviceContext& dc);
    // Shows the warnings of the compositions so far (bad barcode contents);
    // called outside painting, as a message box may repaint the view.
    void showPendingWarnings();

  private:
    std::string m_formPath;
    std::string m_dataPath;
    ControlOptions m_options;
    bool m_dataFromStandardInput = false;
    DataSpool m_data;
    std::unique_ptr<formdesc::FormModel> m_model;
    formdesc::PageSizeTenths m_pageSize;
    std::unique_ptr<PageBuffer> m_page;
    std::unique_ptr<PageComposer> m_composer;
    PageIndex m_index;
    int m_currentPage = 0;
    formdesc::PageGeometry m_geometry;
    int m_dpiY = 96;
    bool m_loading = false;
};

} // namespace runtime
