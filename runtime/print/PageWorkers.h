#pragma once

#include "formdesc/MessageSink.h"
#include "platform/PageTarget.h"
#include "runtime/data/PageBuffer.h"
#include "runtime/print/PageDrawer.h"

#include <condition_variable>
#include <deque>
#include <exception>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

// A job's pages drawn on worker threads: each worker draws on a lane of the
// target of its own (its own fonts, glyph, bitmap and barcode caches), and the
// calling thread reads the pages, hands them out and puts the drawn ones into
// the target in page order. At most twice as many pages as workers are read
// ahead of the last page put in, so memory does not grow with the job.
namespace runtime {

class PageWorkers {
  public:
    // Reads the next page into the buffer and gives its job page number;
    // false when no page is left.
    using NextPage = std::function<bool(PageBuffer& page, int& pageNumber)>;
    // Called after a page was put in; false stops the job there.
    using PagePut = std::function<bool(int pageNumber)>;

    // target.hasLanes() must hold; threads >= 1.
    PageWorkers(platform::PageTarget& target, const PageJob& job, int threads);
    ~PageWorkers();
    PageWorkers(const PageWorkers&) = delete;
    PageWorkers& operator=(const PageWorkers&) = delete;

    // Returns when every page is put in or `put` stopped the job. A barcode
    // warning is shown once per item, for the first page that has it. What a
    // worker threw (running out of memory) is thrown here once all stopped.
    void run(const NextPage& next, const PagePut& put);

  private:
    struct Task {
        long long sequence = 0;
        int pageNumber = 0;
        std::unique_ptr<PageBuffer> page;
    };
    struct Drawn {
        int pageNumber = 0;
        std::unique_ptr<PageBuffer> page;
        std::unique_ptr<platform::DrawnPage> drawn;
        std::vector<PageComposer::HeldWarning> warnings;
        std::vector<formdesc::RecordingMessageSink::Message> messages;
    };

    // While the workers run, a message shown on a worker thread (a bitmap
    // that cannot be read) is kept with the page being drawn; the calling
    // thread shows it when it puts the page in, once per job.
    class HeldMessages : public formdesc::MessageSink {
      public:
        explicit HeldMessages(formdesc::MessageSink& shown) : m_shown(shown) {}
        void show(std::string_view caption, std::string_view text, formdesc::MessageIcon icon) override;
        static void holdOnThisThread(std::vector<formdesc::RecordingMessageSink::Message>* messages);

      private:
        formdesc::MessageSink& m_shown;
    };

    void work();
    void stop();
    void showMessages(const Drawn& drawn);

    platform::PageTarget& m_target;
    PageJob m_job;
    int m_threads;
    std::vector<std::thread> m_workers;
    std::mutex m_mutex;
    std::condition_variable m_taskReady;
    std::condition_variable m_pageDrawn;
    std::deque<Task> m_tasks;
    std::map<long long, Drawn> m_drawn; // by sequence
    bool m_stopping = false;
    std::exception_ptr m_failure;
    std::vector<bool> m_warned; // by figure index
    std::vector<std::string> m_shownTexts;
};

} // namespace runtime
