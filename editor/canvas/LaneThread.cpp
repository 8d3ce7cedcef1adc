#include "editor/canvas/LaneThread.h"

#include <pthread.h>

#include <utility>

namespace editor {

LaneThread::LaneThread() : m_thread([this] { run(); }) {}

LaneThread::~LaneThread() {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        m_quit = true;
    }
    m_changed.notify_all();
    m_thread.join();
}

void LaneThread::start(std::function<void()> job) {
    {
        std::unique_lock lock(m_mutex);
        m_changed.wait(lock, [this] { return !m_busy; });
        m_job = std::move(job);
        m_busy = true;
    }
    m_changed.notify_all();
}

void LaneThread::wait() {
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return !m_busy; });
}

void LaneThread::run() {
    // Named for debuggers and profilers.
    pthread_setname_np(pthread_self(), "canvas-lane");
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(m_mutex);
            m_changed.wait(lock, [this] { return m_busy || m_quit; });
            if (!m_busy)
                return;
            job = std::move(m_job);
        }
        job();
        {
            const std::lock_guard lock(m_mutex);
            m_busy = false;
        }
        m_changed.notify_all();
    }
}

} // namespace editor
