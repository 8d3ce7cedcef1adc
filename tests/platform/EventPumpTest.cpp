#include "platform/EventPump.h"
#include "tests/platform/TestApplication.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QTimer>

#include <gtest/gtest.h>

namespace {

TEST(EventPump, PendingEventsGetDeliveredDuringALongLoop) {
    platformtest::ensureApplication();
    bool delivered = false;
    QTimer::singleShot(0, [&] { delivered = true; });
    QElapsedTimer clock;
    clock.start();
    while (!delivered && clock.elapsed() < 2000)
        platform::pumpPendingEvents();
    EXPECT_TRUE(delivered);
}

TEST(EventPump, CallsBetweenPumpsCostNextToNothing) {
    platformtest::ensureApplication();
    // Ten million calls, as many as data lines of a very large job.
    QElapsedTimer clock;
    clock.start();
    for (int i = 0; i < 10'000'000; ++i)
        platform::pumpPendingEvents();
    EXPECT_LT(clock.elapsed(), 1000);
}

} // namespace
