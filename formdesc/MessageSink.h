#pragma once

#include <string>
#include <string_view>
#include <vector>

// Every message of the system goes through one sink: a message box when a GUI
// exists, a line on standard error otherwise, a recorder in tests. Texts are
// UTF-8.
namespace formdesc {

enum class MessageIcon { Exclamation, Information, Question };

class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual void show(std::string_view caption, std::string_view text, MessageIcon icon) = 0;
};

// Writes "caption: text" as one line on standard error.
class StderrMessageSink : public MessageSink {
  public:
    void show(std::string_view caption, std::string_view text, MessageIcon icon) override;
};

// Keeps every message for inspection.
class RecordingMessageSink : public MessageSink {
  public:
    struct Message {
        std::string caption;
        std::string text;
        MessageIcon icon;
    };
    void show(std::string_view caption, std::string_view text, MessageIcon icon) override;
    std::vector<Message> messages;
};

// The sink in use; standard error until another is installed.
MessageSink& messageSink();
void setMessageSink(MessageSink* sink); // nullptr restores standard error

// Installs a sink for the lifetime of this object.
class ScopedMessageSink {
  public:
    explicit ScopedMessageSink(MessageSink& sink);
    ~ScopedMessageSink();
    ScopedMessageSink(const ScopedMessageSink&) = delete;
    ScopedMessageSink& operator=(const ScopedMessageSink&) = delete;

  private:
    MessageSink* m_previous;
};

inline constexpr std::string_view kCaptionError = "エラー";
inline constexpr std::string_view kCaptionWarning = "警告";
inline constexpr std::string_view kCaptionConfirm = "確認";

} // namespace formdesc
