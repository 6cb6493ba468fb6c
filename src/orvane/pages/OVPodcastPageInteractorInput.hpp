// The podcast page's presenter as the page sees it: the table's data source,
// the element list, the updates the page's state manager brings (theme,
// current episode, player status), the podcast to show, and the user actions
// the page's element cells report. `OVPodcastPageInteractor` adopts it.
// Held strongly by the page; main thread only.
#pragma once

#include <functional>
#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVSubscription.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVPodcastPageInteractorInput : public platform::ui::TableViewDataSource {
public:
    // Replaces the rows; the table is not reloaded.
    virtual void update(OVPageElements pageElements) = 0;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    // The podcast the page shows, handed to every row.
    virtual void update(const OVContent& forPodcast) = 0;
    // The widget's current episode and its podcast.
    virtual void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
    // Reads the subscription buttons' state from the listener's library again.
    virtual void updateForCurrentPodcast() = 0;
    virtual const OVPageElements& pageElements() const = 0;

    virtual void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) = 0;
    virtual void didLongPress(const std::shared_ptr<OVTrack>& episode, const OVContent& forPodcastInSavedSection,
                              std::function<void()> executeAction) = 0;
    virtual void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) = 0;
    virtual void subscription(OVSubscription forType, bool didChangeToValue,
                              std::function<void(bool)> withCompletion) = 0;
    virtual void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) = 0;
};

}  // namespace orvane
