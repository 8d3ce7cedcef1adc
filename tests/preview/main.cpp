#include "platform/ApplicationGuard.h"

#include <gtest/gtest.h>

// The preview tests share one application object, made before the first test
// and destroyed before the program exits: left to static destruction it would
// outlive the input devices Qt has already torn down.
int main(int argc, char** argv) {
    testing::InitGoogleTest(&argc, argv);
    platform::ApplicationGuard application;
    return RUN_ALL_TESTS();
}
