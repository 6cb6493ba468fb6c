// The small REST client: fetches a path of the service and hands back the
// body or an OVNetworkError.
//
// `send` may be called from any thread. A bad address is reported on the
// calling thread before `send` returns; otherwise the request starts on a
// global queue of user-initiated priority, runs on the shared URL session
// (OVURLSession::custom) and its result reaches the completion on the main
// queue. Any body is a success, whatever the HTTP status. The client keeps no
// state per request and takes no lock on that path.
#pragma once

#include <expected>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "orvane/model/OVHTTPMethod.hpp"
#include "orvane/model/OVNetworkError.hpp"
#include "platform/core/Json.hpp"

namespace orvane {

class OVRestManager {
public:
    using SendResult = std::expected<platform::core::Data, OVNetworkError>;
    using SendCompletion = std::function<void(SendResult)>;

    // The shared manager, made on first use; replaceable (tests, hosts).
    static std::shared_ptr<OVRestManager> shared();
    static void setShared(std::shared_ptr<OVRestManager> manager);

    virtual ~OVRestManager() = default;

    // Fetches the base address immediately followed by `urlPath` (no separator
    // added). `method` does not change the request: every request is a plain
    // GET with no headers, query or body of the client's own.
    virtual void send(const std::string& urlPath, OVHTTPMethod method, SendCompletion completionHandler);

    // The base address requests go to: the raw value of
    // OVRestConstants::baseURL unless replaced here (tests point it at a local
    // server). None restores the default. Thread-safe.
    static std::string baseAddress();
    static void setBaseAddress(std::optional<std::string> address);

protected:
    OVRestManager() = default;
};

}  // namespace orvane
