// What an episode row hands its presenter: every input the owning list
// pushes, unchanged, and the row's taps. The presenter adopts it; the row
// owns it. Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVEpisodeTableViewCellInteractorInput {
public:
    virtual ~OVEpisodeTableViewCellInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const OVTrackInPodcast& withEpisodeInPodcast) = 0;
    virtual void update(const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void updateAuxiliaryViewIsHidden(bool auxiliaryViewIsHidden) = 0;
    virtual void updateEpisodeCanBeSaved(bool episodeCanBeSaved) = 0;
    virtual void didTapDetails() = 0;
    // The episode and podcast the row showed when its save button was
    // tapped: the save is reported for them once the button's pop is over,
    // whatever the row shows by then.
    virtual void didTapSave(const std::shared_ptr<OVTrack>& episode, const std::optional<OVContent>& inPodcast) = 0;
    // What the row shows now (none before the first episode update).
    virtual std::shared_ptr<OVTrack> track() const = 0;
    virtual const std::optional<OVContent>& podcast() const = 0;
};

}  // namespace orvane
