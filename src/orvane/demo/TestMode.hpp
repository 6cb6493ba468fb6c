// The process-wide demo switch: test mode carrying an integer, or demo mode.
// Starts as test(0) at every launch; every assignment and in-place change
// runs the after-change hook (which does nothing). Callable from any thread.
#pragma once

#include <cstdint>
#include <functional>
#include <variant>

namespace orvane {

struct TestMode {
    struct Test {
        std::int64_t value = 0;
    };
    struct Demo {};

    std::variant<Test, Demo> mode = Test{0};

    static TestMode shared();
    static void setShared(TestMode mode);
    // Reads the current mode, lets `change` modify it and assigns the result.
    static void modifyShared(const std::function<void(TestMode&)>& change);

private:
    static void didSet(const TestMode& previous);
};

}  // namespace orvane
