#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"

namespace orvane {

OVRecommendationHeadlinesCell::OVRecommendationHeadlinesCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVRecommendationHeadlinesCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVRecommendationHeadlinesCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
