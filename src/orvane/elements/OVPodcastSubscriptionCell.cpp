#include "orvane/elements/OVPodcastSubscriptionCell.hpp"

namespace orvane {

OVPodcastSubscriptionCell::OVPodcastSubscriptionCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVPodcastSubscriptionCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVPodcastSubscriptionCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
