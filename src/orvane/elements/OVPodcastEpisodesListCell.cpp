#include "orvane/elements/OVPodcastEpisodesListCell.hpp"

namespace orvane {

OVPodcastEpisodesListCell::OVPodcastEpisodesListCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVPodcastEpisodesListCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVPodcastEpisodesListCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
