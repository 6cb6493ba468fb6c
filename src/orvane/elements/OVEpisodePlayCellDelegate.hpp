// The episode-play element's button, whatever its title: the episode page
// hands the episode it shows to the coordinator's selection. Held weakly by
// the cell; main thread only.
#pragma once

namespace orvane {

class OVEpisodePlayCellDelegate {
public:
    virtual ~OVEpisodePlayCellDelegate() = default;
    virtual void didTapPlay() = 0;
};

}  // namespace orvane
