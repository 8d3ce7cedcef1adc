#pragma once

#include "runtime/print/PPModule.h"

#include <memory>

// The print job's progress on the abort dialog (CANCEL=ON): the dialog exists
// from the start of the page loop to its end, top-level and without owner.
namespace runtime {

class AbortDialog;

class AbortProgress : public PrintProgress {
  public:
    AbortProgress();
    ~AbortProgress() override;

    void open() override;
    void showPage(int pageNumber) override;
    // Handles pending events once, so that a press of the stop button (or the
    // close box) is seen before the next page is printed.
    bool stopRequested() override;
    void close() override;

    // The dialog while it exists, else null.
    AbortDialog* dialog() const { return m_dialog.get(); }

  private:
    std::unique_ptr<AbortDialog> m_dialog;
};

} // namespace runtime
