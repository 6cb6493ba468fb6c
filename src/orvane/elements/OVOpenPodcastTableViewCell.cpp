#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"

namespace orvane {

OVOpenPodcastTableViewCell::OVOpenPodcastTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVOpenPodcastTableViewCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVOpenPodcastTableViewCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
