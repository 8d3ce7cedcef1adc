#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

// A thread kept for the canvas's region renders. It runs one job at a time,
// given by the GUI thread, which waits for it before it gives another; what
// a job leaves on the thread (fonts, measuring devices) stays with it.
namespace editor {

class LaneThread {
  public:
    LaneThread();
    // Waits for the job under way and ends the thread.
    ~LaneThread();
    LaneThread(const LaneThread&) = delete;
    LaneThread& operator=(const LaneThread&) = delete;

    void start(std::function<void()> job);
    void wait();

  private:
    void run();

    std::mutex m_mutex;
    std::condition_variable m_changed;
    std::function<void()> m_job;
    bool m_busy = false;
    bool m_quit = false;
    std::thread m_thread;
};

} // namespace editor
