// A request for one address, as handed to a URL session. Requests go out as
// plain GETs with no headers, query or body of their own.
//
// Value type; safe to copy between threads.
#pragma once

#include "platform/core/URL.hpp"

namespace platform::net {

// How a request may be answered from a cache. The sessions keep no cache of
// their own and add no cache headers, so every policy fetches from the
// server; the value is carried for callers that want to state their intent.
enum class URLRequestCachePolicy {
    useProtocolCachePolicy = 0,
    reloadIgnoringLocalCacheData = 1,
    reloadIgnoringLocalAndRemoteCacheData = 4,
    returnCacheDataElseLoad = 2,
    returnCacheDataDontLoad = 3,
    reloadRevalidatingCacheData = 5,
};

struct URLRequest {
    explicit URLRequest(core::URL url,
                        URLRequestCachePolicy cachePolicy = URLRequestCachePolicy::useProtocolCachePolicy)
        : url(std::move(url)), cachePolicy(cachePolicy) {}

    core::URL url;
    URLRequestCachePolicy cachePolicy;
};

}  // namespace platform::net
