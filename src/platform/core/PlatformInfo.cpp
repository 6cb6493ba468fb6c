#include "platform/core/PlatformInfo.hpp"

#include <mutex>

#include "platform/core/NoDestructor.hpp"

namespace platform::core {

namespace {
std::mutex& infoMutex() {
    static std::mutex mutex;
    return mutex;
}
std::string& storedIdentifier() {
    static NoDestructor<std::string> identifier{PlatformInfo::zeroAdvertisingIdentifier};
    return *identifier;
}
}  // namespace

std::string PlatformInfo::advertisingIdentifier() {
    std::lock_guard lock(infoMutex());
    return storedIdentifier();
}

void PlatformInfo::setAdvertisingIdentifier(std::string identifier) {
    std::lock_guard lock(infoMutex());
    storedIdentifier() = std::move(identifier);
}

}  // namespace platform::core
