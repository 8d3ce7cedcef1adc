#include "platform/ApplicationGuard.h"

#include <gtest/gtest.h>

// The widgets tests share one application object, destroyed before the program
// exits.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    platform::ApplicationGuard application;
    return RUN_ALL_TESTS();
}
