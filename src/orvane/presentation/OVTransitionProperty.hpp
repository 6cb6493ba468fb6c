// One visual value of a presentation of the root container (the dimming, the
// panel's edge, the handle's bend...) that knows its value in each display
// state and how to follow a drag. The animators keep a list of them and drive
// the whole list with one call: `set(list, state)` inside an animation block
// to move to a state, `update(list, p, state)` from a pan handler to follow
// the relative position `p`. States arrive as plain integers (the raw values
// of OVDisplayStates.hpp); a number that names no state changes nothing.
//
// This root class does nothing; the compact family derives from
// OVCompactTransitionProperty, the regular one lives in
// OVRegularTransitionProperty. Properties hold their views, constraints and
// controllers weakly (one exception says so) and keep no state between
// calls. Made through `create` and owned by the animator's list; main thread
// only.
#pragma once

#include <memory>
#include <vector>

namespace orvane {

class OVTransitionProperty;
using OVTransitionPropertyList = std::vector<std::shared_ptr<OVTransitionProperty>>;

class OVTransitionProperty {
protected:
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    static std::shared_ptr<OVTransitionProperty> create();
    explicit OVTransitionProperty(ConstructorKey) {}
    virtual ~OVTransitionProperty() = default;
    OVTransitionProperty(const OVTransitionProperty&) = delete;
    OVTransitionProperty& operator=(const OVTransitionProperty&) = delete;

    // Brings the value to the one of the state `toState`.
    virtual void set(int /*toState*/) {}
    // Sets the value that belongs to the relative position while the
    // presentation is in the (moving) state `withState`.
    virtual void update(double /*forRelativePosition*/, int /*withState*/) {}

    // Each property of `properties` in order, with the same arguments.
    static void set(const OVTransitionPropertyList& properties, int toState);
    static void update(const OVTransitionPropertyList& properties, double forRelativePosition, int withState);
};

}  // namespace orvane
