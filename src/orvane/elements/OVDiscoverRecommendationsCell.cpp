#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"

namespace orvane {

OVDiscoverRecommendationsCell::OVDiscoverRecommendationsCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVDiscoverRecommendationsCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVDiscoverRecommendationsCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
