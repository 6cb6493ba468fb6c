// Record types fetched from the REST service. A conforming record T derives
// from OVRestCommunicationProtocol<T>, supplies `static std::string urlPath()`
// and decodes with `static T decode(const Json&)`; `T::get(handler)` then
// fetches its path and hands back the decoded record or an OVNetworkError.
//
// `get` may be called from any thread; the handler runs on the main queue
// (badURL: on the calling thread, before `get` returns), where the body is
// decoded with default settings.
#pragma once

#include <expected>
#include <functional>
#include <memory>
#include <optional>

#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVNetworkError.hpp"
#include "orvane/model/OVRestManager.hpp"

namespace orvane {

template <class T>
class OVRestCommunicationProtocol {
public:
    // The decoded value is always present on success.
    using GetResult = std::expected<std::optional<T>, OVNetworkError>;
    using GetCompletion = std::function<void(GetResult)>;

    virtual ~OVRestCommunicationProtocol() = default;

    std::shared_ptr<OVRestManager> serviceManager() const { return OVRestManager::shared(); }
    static std::shared_ptr<OVRestManager> ServiceManager() { return OVRestManager::shared(); }

    static void get(GetCompletion completionHandler) {
        ServiceManager()->send(T::urlPath(), OVHTTPMethod::get,
                               [completionHandler = std::move(completionHandler)](OVRestManager::SendResult result) {
                                   if (!completionHandler) return;
                                   if (!result) {
                                       completionHandler(std::unexpected(result.error()));
                                       return;
                                   }
                                   auto decoded = decodeData<T>(*result);
                                   if (!decoded) {
                                       completionHandler(std::unexpected(OVNetworkError::dataParsingError));
                                       return;
                                   }
                                   completionHandler(GetResult(std::optional<T>(std::move(*decoded))));
                               });
    }
};

}  // namespace orvane
