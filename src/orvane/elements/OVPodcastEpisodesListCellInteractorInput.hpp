// What the podcast episodes list cell asks of its presenter, which is also
// the inner table's data source. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/elements/OVPodcastEpisodesListCellModel.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

class OVPodcastEpisodesListCellInteractorInput : public platform::ui::TableViewDataSource {
public:
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const OVContent& podcast) = 0;
    virtual void update(const std::vector<std::shared_ptr<platform::ui::TableViewCell>>& cells,
                        const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) = 0;
    virtual void update(const std::vector<std::shared_ptr<platform::ui::TableViewCell>>& cells,
                        OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void didSelectRow(const platform::ui::IndexPath& atIndexPath) = 0;
    virtual void didLongPress(const platform::ui::IndexPath& atIndexPath) = 0;
    virtual void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) = 0;
    // None when the section has no episodes or no theme is known yet.
    virtual std::optional<platform::ui::AttributedString> headerTitle(OVPodcastEpisodesListSection forSection) = 0;
};

}  // namespace orvane
