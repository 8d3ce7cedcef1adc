#pragma once

#include "formdesc/FormModel.h"
#include "formdesc/FormReader.h"
#include "platform/PageTarget.h"
#include "runtime/data/ControlOptions.h"
#include "runtime/data/DataLineReader.h"
#include "runtime/data/DataSpool.h"
#include "runtime/data/PageReader.h"
#include "runtime/print/PageDrawer.h"

#include <functional>
#include <memory>
#include <string>

// The print job: reads and checks the form, counts the data pages, takes its
// output from the caller's chooser (a printer, a PDF file, PNG images) and
// prints every page as one document. One object per job.
namespace runtime {

// Result codes of a print job.
enum PrintResult : int {
    kPrintDone = 0,
    kPrintCancelled = 1,
    kPrintFormFailed = -1,
    kPrintDataFailed = -2,
    kPrintNoDevice = -3,
    kPrintCannotStart = -11,
};

// The output a chooser hands the job: a target, or the reason there is none
// (kPrintCancelled when the user cancelled a dialog, kPrintNoDevice when no
// device could be had).
struct ChosenTarget {
    std::unique_ptr<platform::PageTarget> target;
    int failure = kPrintNoDevice;
    // Why there is no device, in the output system's words (for logs).
    std::string reason;
};

// Chooses the output once the form is known. pageSize is the form's page in
// tenths of a millimetre.
using TargetChooser = std::function<ChosenTarget(
    const formdesc::FormInfo& form, const formdesc::PageSizeTenths& pageSize, const ControlOptions& options)>;

// Progress and stop requests while printing (the abort dialog).
class PrintProgress {
  public:
    virtual ~PrintProgress() = default;
    virtual void open() {}
    virtual void showPage(int pageNumber) = 0;
    virtual bool stopRequested() = 0;
    virtual void close() {}
};

class PPModule {
  public:
    // control may be null.
    PPModule(std::string formPath, std::string dataPath, const char* control);
    PPModule(const PPModule&) = delete;
    PPModule& operator=(const PPModule&) = delete;

    // Returns a PrintResult; a control statement with a refused value shows
    // its message and gives kPrintFormFailed. An allocation failure anywhere in the job shows
    // the memory message and gives kPrintCannotStart; a read error in the
    // data file gives kPrintDataFailed; either way the output is dropped
    // unfinished.
    int run(const TargetChooser& chooser, PrintProgress* progress = nullptr);

    // The command line's own options, set before run().
    void setCallerOptions(const CallerOptions& caller);

    const ControlOptions& options() const { return m_options; }
    int pagesPrinted() const { return m_pagesPrinted; }
    int pageCount() const { return m_pageCount; }
    // The pages the caller asked for (the whole job unless it named a part).
    const PageRange& pages() const { return m_pages; }
    // What the output system said when no device could be had or the
    // document could not be completed.
    const std::string& outputError() const { return m_outputError; }

  private:
    int runJob(const TargetChooser& chooser, PrintProgress* progress);
    int printPages(platform::PageTarget& target, PrintProgress* progress);
    void printInTurn(platform::PageTarget& target, PageReader& reader, const PageJob& job,
                     PrintProgress* progress);
    void printOnWorkers(platform::PageTarget& target, PageReader& reader, const PageJob& job, int threads,
                        PrintProgress* progress);

    std::string m_formPath;
    std::string m_dataPath;
    ControlOptions m_options;
    bool m_dataFromStandardInput = false;
    DataSpool m_data;
    std::unique_ptr<formdesc::FormModel> m_model;
    formdesc::PageSizeTenths m_pageSize;
    // The pages to print (all unless the caller names a part), and where the
    // first of them starts in the data.
    PageRange m_pages;
    int m_threads = 1;
    FilePosition m_firstPageStart = 0;
    int m_pageCount = 0;
    int m_pagesPrinted = 0;
    std::string m_outputError;
};

} // namespace runtime
