// The main page's presenter as the page sees it: the presenter base (the
// table's data source and the element list) plus what the page hands on
// from its state manager and from the recommendation list. The page owns
// the presenter. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVMainPageInteractorInput : public virtual OVPageInteractorInput {
public:
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) = 0;
    virtual void update(const std::vector<OVTrackInPodcast>& withRecommendations) = 0;
    virtual void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) = 0;
    virtual void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) = 0;
    virtual void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) = 0;
};

}  // namespace orvane
