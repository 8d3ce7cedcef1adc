#include "runtime/print/PageWorkers.h"

#include "formdesc/MessageSink.h"

#include <algorithm>
#include <new>
#include <system_error>

namespace runtime {

namespace {

thread_local std::vector<formdesc::RecordingMessageSink::Message>* t_heldMessages = nullptr;

} // namespace

void PageWorkers::HeldMessages::show(std::string_view caption, std::string_view text,
                                     formdesc::MessageIcon icon) {
    if (t_heldMessages)
        t_heldMessages->push_back({std::string(caption), std::string(text), icon});
    else
        m_shown.show(caption, text, icon);
}

void PageWorkers::HeldMessages::holdOnThisThread(
    std::vector<formdesc::RecordingMessageSink::Message>* messages) {
    t_heldMessages = messages;
}

PageWorkers::PageWorkers(platform::PageTarget& target, const PageJob& job, int threads)
    : m_target(target), m_job(job), m_threads(std::max(1, threads)) {}

PageWorkers::~PageWorkers() {
    stop();
}

// A worker's lane and drawer are made and let go on its own thread: the
// fonts they load belong to the thread that loaded them.
void PageWorkers::work() {
    try {
        const std::unique_ptr<platform::PageLane> lane = m_target.openLane();
        PageDrawer drawer(m_job, lane->deviceContext(), m_target);
        drawer.composer().holdWarnings();
        while (true) {
            Task task;
            {
                std::unique_lock lock(m_mutex);
                m_taskReady.wait(lock, [this] { return m_stopping || !m_tasks.empty(); });
                if (m_stopping)
                    return;
                task = std::move(m_tasks.front());
                m_tasks.pop_front();
            }
            Drawn drawn;
            HeldMessages::holdOnThisThread(&drawn.messages);
            lane->beginPage();
            drawer.draw(*task.page, task.pageNumber);
            drawn.pageNumber = task.pageNumber;
            drawn.page = std::move(task.page);
            drawn.drawn = lane->endPage();
            drawn.warnings = drawer.composer().takePendingWarnings();
            HeldMessages::holdOnThisThread(nullptr);
            {
                const std::lock_guard lock(m_mutex);
                m_drawn.emplace(task.sequence, std::move(drawn));
            }
            m_pageDrawn.notify_one();
        }
    } catch (...) {
        HeldMessages::holdOnThisThread(nullptr);
        {
            const std::lock_guard lock(m_mutex);
            if (!m_failure)
                m_failure = std::current_exception();
            m_stopping = true;
        }
        m_taskReady.notify_all();
        m_pageDrawn.notify_all();
    }
}

void PageWorkers::stop() {
    {
        const std::lock_guard lock(m_mutex);
        m_stopping = true;
    }
    m_taskReady.notify_all();
    for (std::thread& worker : m_workers)
        if (worker.joinable())
            worker.join();
    m_workers.clear();
}

void PageWorkers::run(const NextPage& next, const PagePut& put) {
    const long long window = 2LL * m_threads;
    HeldMessages held(formdesc::messageSink());
    const formdesc::ScopedMessageSink holding(held);
    // A system that will not start as many threads as asked gets the job
    // drawn on those it did start.
    try {
        for (int i = 0; i < m_threads; ++i)
            m_workers.emplace_back([this] { work(); });
    } catch (const std::system_error&) {
        if (m_workers.empty())
            throw std::bad_alloc();
    }
    std::vector<std::unique_ptr<PageBuffer>> spare;
    long long read = 0;
    long long putIn = 0;
    bool exhausted = false;
    try {
        while (true) {
            while (!exhausted && read - putIn < window) {
                std::unique_ptr<PageBuffer> page;
                if (spare.empty()) {
                    page = std::make_unique<PageBuffer>();
                } else {
                    page = std::move(spare.back());
                    spare.pop_back();
                }
                int pageNumber = 0;
                if (!next(*page, pageNumber)) {
                    exhausted = true;
                    break;
                }
                {
                    const std::lock_guard lock(m_mutex);
                    m_tasks.push_back({read++, pageNumber, std::move(page)});
                }
                m_taskReady.notify_one();
            }
            if (putIn == read)
                break;
            Drawn drawn;
            {
                std::unique_lock lock(m_mutex);
                m_pageDrawn.wait(lock, [&] { return m_failure || m_drawn.contains(putIn); });
                if (m_failure)
                    break;
                auto found = m_drawn.find(putIn);
                drawn = std::move(found->second);
                m_drawn.erase(found);
            }
            ++putIn;
            m_target.putPage(std::move(drawn.drawn));
            showMessages(drawn);
            spare.push_back(std::move(drawn.page));
            if (!put(drawn.pageNumber))
                break;
        }
    } catch (...) {
        stop();
        throw;
    }
    stop();
    if (m_failure)
        std::rethrow_exception(m_failure);
}

// Every lane reports what it meets first; the job shows each message once,
// for the first page that has it, as when the pages are drawn in turn.
void PageWorkers::showMessages(const Drawn& drawn) {
    for (const auto& message : drawn.messages) {
        if (std::find(m_shownTexts.begin(), m_shownTexts.end(), message.text) != m_shownTexts.end())
            continue;
        m_shownTexts.push_back(message.text);
        formdesc::messageSink().show(message.caption, message.text, message.icon);
    }
    for (const PageComposer::HeldWarning& warning : drawn.warnings) {
        const auto index = static_cast<std::size_t>(warning.figureIndex);
        if (m_warned.size() <= index)
            m_warned.resize(index + 1);
        if (m_warned[index])
            continue;
        m_warned[index] = true;
        formdesc::messageSink().show(formdesc::kCaptionWarning, warning.text,
                                     formdesc::MessageIcon::Exclamation);
    }
}

} // namespace runtime
