#include "orvane/presentation/OVTransitionProperty.hpp"

namespace orvane {

std::shared_ptr<OVTransitionProperty> OVTransitionProperty::create() {
    return std::make_shared<OVTransitionProperty>(ConstructorKey{});
}

void OVTransitionProperty::set(const OVTransitionPropertyList& properties, int toState) {
    for (const auto& property : properties) {
        if (property) property->set(toState);
    }
}

void OVTransitionProperty::update(const OVTransitionPropertyList& properties, double forRelativePosition,
                                  int withState) {
    for (const auto& property : properties) {
        if (property) property->update(forRelativePosition, withState);
    }
}

}  // namespace orvane
