#include "platform/ApplicationGuard.h"

#include <gtest/gtest.h>

// The canvas tests share one application object, made before the first test
// and destroyed before the program exits.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    platform::ApplicationGuard application;
    return RUN_ALL_TESTS();
}
