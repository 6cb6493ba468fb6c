// The component's URL session: the platform's shared session, taken on first
// use and kept. Its reader is the image loader.
#pragma once

#include <memory>

#include "platform/net/URLSession.hpp"

namespace orvane {

class OVURLSession {
public:
    static const std::shared_ptr<platform::net::URLSession>& custom() {
        static const std::shared_ptr<platform::net::URLSession> session = platform::net::URLSession::shared();
        return session;
    }
};

}  // namespace orvane
