#include "orvane/elements/OVPlayerTableViewCell.hpp"

#include "orvane/pages/OVPageElement.hpp"

namespace orvane {

OVPlayerTableViewCell::OVPlayerTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVPlayerTableViewCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVPlayerTableViewCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

void OVPageElement::Player::setDelegates() {
    if (const auto& cell = tableViewCell()) cell->setDelegate(coordinator());
}

}  // namespace orvane
