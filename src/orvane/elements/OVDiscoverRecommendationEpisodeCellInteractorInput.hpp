// What the discover grid item hands its presenter, unchanged: the theme, the
// episode it shows with its podcast, the current episode and the player
// status. Owned by the item. Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVDiscoverRecommendationEpisodeCellInteractorInput {
public:
    virtual ~OVDiscoverRecommendationEpisodeCellInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) = 0;
    // A null episode: none is current.
    virtual void updateWithCurrentEpisode(const std::shared_ptr<OVTrack>& withCurrentEpisode,
                                          const OVContent& inPodcast) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
};

}  // namespace orvane
