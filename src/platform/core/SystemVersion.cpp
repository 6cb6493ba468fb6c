#include "platform/core/SystemVersion.hpp"

#include <atomic>

namespace platform::core {
namespace {
std::atomic<int> majorVersion{17};
std::atomic<int> minorVersion{0};
}  // namespace

SystemVersion SystemVersion::current() { return SystemVersion{majorVersion.load(), minorVersion.load()}; }

void SystemVersion::setCurrent(SystemVersion version) {
    majorVersion = version.major;
    minorVersion = version.minor;
}

bool SystemVersion::isAtLeast(int major, int minor) { return current() >= SystemVersion{major, minor}; }

}  // namespace platform::core
