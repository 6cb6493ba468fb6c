#include "orvane/coordinator/OVPopup.hpp"

#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

std::shared_ptr<OVPopup> OVPopup::make() {
    return platform::ui::NibRegistry::shared().instantiateFirst<OVPopup>("OVPopup");
}

OVPopup::OVPopup(ConstructorKey key, const platform::graphics::Rect& frame) : View(key, frame) {}

OVPopup::~OVPopup() = default;

void OVPopup::update(const OVTheme&, const platform::graphics::Color&) {}
void OVPopup::update(const platform::ui::AttributedString&) {}

}  // namespace orvane
