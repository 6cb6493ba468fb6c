#include "orvane/elements/OVRecommandationListCell.hpp"

namespace orvane {

OVRecommandationListCell::OVRecommandationListCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVRecommandationListCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVRecommandationListCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
