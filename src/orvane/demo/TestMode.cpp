#include "orvane/demo/TestMode.hpp"

#include <mutex>

#include "platform/core/NoDestructor.hpp"

namespace orvane {

namespace {
std::mutex& modeMutex() {
    static std::mutex mutex;
    return mutex;
}
TestMode& storedMode() {
    static platform::core::NoDestructor<TestMode> mode;
    return *mode;
}
}  // namespace

TestMode TestMode::shared() {
    std::lock_guard lock(modeMutex());
    return storedMode();
}

void TestMode::setShared(TestMode mode) {
    TestMode previous;
    {
        std::lock_guard lock(modeMutex());
        previous = storedMode();
        storedMode() = mode;
    }
    didSet(previous);
}

void TestMode::modifyShared(const std::function<void(TestMode&)>& change) {
    TestMode value = shared();
    change(value);
    setShared(value);
}

void TestMode::didSet(const TestMode& previous) { (void)previous; }

}  // namespace orvane
