// A state observer of the bridge: told of each new state the widget posts,
// on the main thread, observers in the order they were added. The bridge
// holds its observers strongly and never removes them. A host adds one
// through the facade (`Orvane::addStateObserver`).
#pragma once

#include <memory>

#include "orvane/widget/OVState.hpp"

namespace orvane {

class OVObserver {
public:
    virtual ~OVObserver() = default;
    virtual void didReceive(const OVState& state) = 0;
    // The same delivery with the state as the bridge keeps it: shared and
    // never changed again. An observer that keeps the state past the call
    // overrides this and keeps the pointer rather than a copy; by default it
    // calls `didReceive(*state)`.
    virtual void didReceiveShared(const std::shared_ptr<const OVState>& state) { didReceive(*state); }
};

}  // namespace orvane
