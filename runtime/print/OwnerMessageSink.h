#pragma once

#include "platform/QtMessageSink.h"

// The message sink of one library call: a message box kept above the
// caller's window when windows can be shown, otherwise a line on standard
// error.
namespace runtime {

class OwnerWindow;

class OwnerMessageSink : public platform::QtMessageSink {
  public:
    explicit OwnerMessageSink(const OwnerWindow& owner) : m_owner(owner) {}

  protected:
    void adopt(QMessageBox& box) override;

  private:
    const OwnerWindow& m_owner;
};

} // namespace runtime
