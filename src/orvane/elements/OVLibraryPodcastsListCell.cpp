#include "orvane/elements/OVLibraryPodcastsListCell.hpp"

namespace orvane {

OVLibraryPodcastsListCell::OVLibraryPodcastsListCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVLibraryPodcastsListCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVLibraryPodcastsListCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
