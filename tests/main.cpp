// Test entry point: every test runs in its own process (CTest discovers each
// test case), so singletons and the main run loop start fresh. The audio
// output only keeps time unless a test asks for another.
#include <gtest/gtest.h>

#include "platform/media/AudioOutput.hpp"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // No sound in tests: the output only keeps time unless a test asks otherwise.
    platform::media::AudioOutput::configure({platform::media::AudioOutput::Kind::timeKeeping, {}});
    return RUN_ALL_TESTS();
}
