// Main of the test programs whose tests use windows: they need the application object,
// and run headless.
#include <gtest/gtest.h>

#include <cstdlib>

#include "platform/Application.h"

int main(int argc, char** argv) {
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    EnsureApplication(argc, argv);
    const int result = RUN_ALL_TESTS();
    ShutdownApplication();
    return result;
}
