// Runs one task of a run loop or dispatch queue so that an exception thrown by
// it ends that task only: the exception is caught, reported with one debug
// line naming the loop or queue, and dropped, and the caller goes on with its
// next task. Called on the thread that runs the task.
#pragma once

#include <functional>
#include <string_view>

namespace platform::core {

// Runs `task`; never throws.
void runGuarded(const std::function<void()>& task, std::string_view owner) noexcept;

}  // namespace platform::core
