#include "platform/ApplicationGuard.h"

#include <gtest/gtest.h>

#include <cstdlib>

// The print tests share one application object, made before the first test
// and destroyed before the program exits: left to static destruction it would
// outlive the input devices Qt has already torn down.
int main(int argc, char** argv) {
    // A closed port: no print server answers, Qt sees no printers and no
    // default printer, and no test can print on a real queue.
    setenv("CUPS_SERVER", "127.0.0.1:9", 1);
    unsetenv("PRINTER");
    unsetenv("LPDEST");
    testing::InitGoogleTest(&argc, argv);
    platform::ApplicationGuard application;
    return RUN_ALL_TESTS();
}
