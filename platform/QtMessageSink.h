#pragma once

#include "formdesc/MessageSink.h"

class QMessageBox;

// Shows messages in a modal message box when the program has a screen to
// show it on, otherwise as a line on standard error.
namespace platform {

class QtMessageSink : public formdesc::MessageSink {
  public:
    void show(std::string_view caption, std::string_view text, formdesc::MessageIcon icon) override;

    // True when a QApplication exists on a platform that can show windows.
    static bool canShowWindows();

  protected:
    // Lets a subclass tie the box to a window before it is shown.
    virtual void adopt(QMessageBox&) {}

  private:
    formdesc::StderrMessageSink m_fallback;
};

} // namespace platform
