// The episode page's presenter as the page sees it: the table's data source,
// the element list, the displayed episode, the updates the page's state
// manager brings (theme, current episode, player status) and the two taps
// the page passes on (the header's podcast link, play).
// `OVEpisodePageInteractor` adopts it. Held strongly by the page; main
// thread only.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVEpisodePageInteractorInput : public platform::ui::TableViewDataSource {
public:
    // Replaces the rows; the table is not reloaded.
    virtual void update(OVPageElements pageElements) = 0;
    virtual const OVPageElements& pageElements() const = 0;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    // The episode the page shows, with its podcast.
    virtual void update(const OVTrackInPodcast& withDisplayedEpisodeInPodcast) = 0;
    // The widget's current episode.
    virtual void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void didTapOpenPodcast() = 0;
    virtual void didTapPlay() = 0;
};

}  // namespace orvane
