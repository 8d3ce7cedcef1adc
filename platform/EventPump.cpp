#include "platform/EventPump.h"

#include <QCoreApplication>

#include <chrono>
#include <ctime>

namespace platform {

namespace {

constexpr unsigned kCallsPerClockRead = 256;
constexpr long long kIntervalNs = 20'000'000;

// The coarse clock is read from the vDSO without a system call and is good to
// a few milliseconds, plenty for a 20 ms interval.
long long coarseNowNs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC_COARSE, &now);
    return static_cast<long long>(now.tv_sec) * 1'000'000'000 + now.tv_nsec;
}

unsigned g_calls = 0;
long long g_lastPumpNs = 0;

} // namespace

void pumpPendingEvents() {
    if (++g_calls % kCallsPerClockRead != 0)
        return;
    if (!QCoreApplication::instance())
        return;
    const long long now = coarseNowNs();
    if (now - g_lastPumpNs < kIntervalNs)
        return;
    QCoreApplication::processEvents();
    g_lastPumpNs = coarseNowNs();
}

} // namespace platform
