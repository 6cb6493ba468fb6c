#include "orvane/elements/OVContentIdentityCell.hpp"

namespace orvane {

OVContentIdentityCell::OVContentIdentityCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVContentIdentityCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVContentIdentityCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
