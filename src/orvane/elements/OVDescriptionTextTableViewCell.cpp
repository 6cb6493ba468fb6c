#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"

namespace orvane {

OVDescriptionTextTableViewCell::OVDescriptionTextTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVDescriptionTextTableViewCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVDescriptionTextTableViewCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
