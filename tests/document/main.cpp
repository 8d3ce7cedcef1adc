#include "platform/ApplicationGuard.h"

#include <gtest/gtest.h>

// The document tests share one application object (offscreen, or the display
// a test hands to a child run of this program), destroyed before the program
// exits.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    platform::ApplicationGuard application;
    return RUN_ALL_TESTS();
}
