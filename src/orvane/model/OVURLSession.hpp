// The component's URL session type. `custom` is the platform's shared session
// (no delegate, its own serial delegate queue), taken on first use and kept;
// the REST client and the image loader use it. Thread-safe.
#pragma once

#include <memory>

#include "platform/net/URLSession.hpp"

namespace orvane {

class OVURLSession : public platform::net::URLSession {
public:
    static const std::shared_ptr<platform::net::URLSession>& custom() {
        static const std::shared_ptr<platform::net::URLSession> session = platform::net::URLSession::shared();
        return session;
    }

private:
    // Never made: the type only carries `custom`.
    OVURLSession() = delete;
};

}  // namespace orvane
