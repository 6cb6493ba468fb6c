#include "orvane/elements/OVEpisodePlayCell.hpp"

namespace orvane {

OVEpisodePlayCell::OVEpisodePlayCell(ConstructorKey key, const platform::graphics::Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVEpisodePlayCell::nib(platform::ui::NibBuild& build) {
    build.add(std::make_shared<OVEpisodePlayCell>(ConstructorKey{}, platform::graphics::Rect{0, 0, 375, 44}));
    return true;
}

}  // namespace orvane
