#include "orvane/elements/OVShareTableViewCell.hpp"

namespace orvane {

OVShareTableViewCell::OVShareTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVShareTableViewCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVShareTableViewCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
