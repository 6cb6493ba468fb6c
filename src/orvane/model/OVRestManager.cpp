#include "orvane/model/OVRestManager.hpp"

#include <mutex>

#include "orvane/model/OVRestConstants.hpp"
#include "orvane/model/OVURLSession.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/core/URL.hpp"

namespace orvane {
namespace {

struct Shared {
    std::mutex mutex;
    std::shared_ptr<OVRestManager> manager;
    std::optional<std::string> baseAddress;
};

Shared& state() {
    static platform::core::NoDestructor<Shared> shared;
    return *shared;
}

struct ConstructibleManager final : OVRestManager {};

}  // namespace

std::shared_ptr<OVRestManager> OVRestManager::shared() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (!s.manager) s.manager = std::make_shared<ConstructibleManager>();
    return s.manager;
}

void OVRestManager::setShared(std::shared_ptr<OVRestManager> manager) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.manager = std::move(manager);
}

std::string OVRestManager::baseAddress() {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    if (s.baseAddress) return *s.baseAddress;
    return std::string(rawValue(OVRestConstants::baseURL));
}

void OVRestManager::setBaseAddress(std::optional<std::string> address) {
    auto& s = state();
    std::lock_guard lock(s.mutex);
    s.baseAddress = std::move(address);
}

void OVRestManager::send(const std::string& urlPath, OVHTTPMethod method, SendCompletion completionHandler) {
    (void)method;
    auto url = platform::core::URL::parse(baseAddress() + urlPath);
    if (!url) {
        if (completionHandler) completionHandler(std::unexpected(OVNetworkError::badURL));
        return;
    }
    platform::core::DispatchQueue::global(platform::core::QualityOfService::userInitiated)
        .async([url = std::move(*url), completionHandler = std::move(completionHandler)]() mutable {
            auto task = OVURLSession::custom()->dataTask(
                url, [completionHandler = std::move(completionHandler)](std::optional<platform::core::Data> data,
                                                                        auto, auto) mutable {
                    // Only the body counts: neither the error nor the status is looked at.
                    platform::core::DispatchQueue::main().async(
                        [data = std::move(data), completionHandler = std::move(completionHandler)]() mutable {
                            if (!completionHandler) return;
                            if (!data) {
                                completionHandler(std::unexpected(OVNetworkError::networkError));
                            } else {
                                completionHandler(std::move(*data));
                            }
                        });
                });
            task->resume();
        });
}

}  // namespace orvane
