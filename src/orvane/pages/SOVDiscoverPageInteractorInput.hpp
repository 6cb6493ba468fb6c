// The discover page's presenter as the page sees it: the table's data
// source, the element list, the updates the page passes on and the two user
// actions of its cells. Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class SOVDiscoverPageInteractorInput : public platform::ui::TableViewDataSource {
public:
    virtual void update(OVPageElements pageElements) = 0;
    virtual const OVPageElements& pageElements() const = 0;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) = 0;
    virtual void update(OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void didSelectPodcast(const OVContent& podcast) = 0;
    virtual void didTapForDetails(const std::shared_ptr<OVTrack>& forTrack, const OVContent& inPodcast) = 0;
};

}  // namespace orvane
