#pragma once

#include "MessageSink.h"

// The message sink of one library call: a message box kept above the
// caller's window when windows can be shown, otherwise a line on standard
// error.
namespace runtime {

class OwnerWindow;

class OwnerMessageSink : public formdesc::MessageSink {
  public:
    explicit OwnerMessageSink(const OwnerWindow& owner) : m_owner(owner) {}
    void show(std::string_view caption, std::string_view text, formdesc::MessageIcon icon) override;

  private:
    const OwnerWindow& m_owner;
    formdesc::StderrMessageSink m_fallback;
};

} // namespace runtime
