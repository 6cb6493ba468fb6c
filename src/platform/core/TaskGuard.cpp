#include "platform/core/TaskGuard.hpp"

#include <exception>
#include <string>

#include "platform/core/DebugPrint.hpp"

namespace platform::core {

void runGuarded(const std::function<void()>& task, std::string_view owner) noexcept {
    try {
        task();
        return;
    } catch (const std::exception& error) {
        try {
            debugPrint(std::string(owner) + ": a task threw and was dropped: " + error.what());
        } catch (...) {
        }
    } catch (...) {
        try {
            debugPrint(std::string(owner) + ": a task threw and was dropped");
        } catch (...) {
        }
    }
}

}  // namespace platform::core
