// Test entry point: every test runs in its own process (CTest discovers each
// test case), so singletons and the main run loop start fresh.
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
