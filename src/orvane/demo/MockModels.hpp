// Two ready-made sample audio ads, built once on first access (thread-safe)
// and unchanged afterwards.
#pragma once

#include "orvane/model/OVAd.hpp"

#include <memory>

namespace orvane {

class MockModels {
public:
    MockModels() = default;

    static const std::shared_ptr<OVAd>& ad0();
    static const std::shared_ptr<OVAd>& ad1();
};

}  // namespace orvane
