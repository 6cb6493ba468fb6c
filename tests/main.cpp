// Test entry point: every test runs in its own process (CTest discovers each
// test case), so singletons and the main run loop start fresh. The audio
// output only keeps time unless a test asks for another.
//
// The process ends without destroying function-local statics: work that a
// test left on another thread (an image fetch failing, a download's last
// callback) may still run while the process exits, and must not meet a
// singleton half torn down. Leaks are still looked for first where the
// leak checker is built in.
#include <cstdio>
#include <cstdlib>
#include <iostream>

#include <gtest/gtest.h>

#if defined(__SANITIZE_ADDRESS__)
#include <sanitizer/lsan_interface.h>
#endif

#include "platform/media/AudioOutput.hpp"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // No sound in tests: the output only keeps time unless a test asks otherwise.
    platform::media::AudioOutput::configure({platform::media::AudioOutput::Kind::timeKeeping, {}});
    const int result = RUN_ALL_TESTS();
#if defined(__SANITIZE_ADDRESS__)
    if (__lsan_do_recoverable_leak_check() != 0) return 1;
#endif
    std::cout.flush();
    std::cerr.flush();
    std::fflush(nullptr);
    std::_Exit(result);
}
