// What the discover grid cell hands its presenter, which is also the grid's
// data source: the theme, each new list of recommended episodes, the current
// episode and the player status with the items now shown, and the selection
// of an item. Owned by the grid cell. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/lists/CollectionView.hpp"

namespace orvane {

class OVDiscoverRecommendationsCellInteractorInput : public platform::ui::CollectionViewDataSource {
public:
    using Recommendation = OVMock::UserData::DiscoverRecommendation;
    using Cells = std::vector<std::shared_ptr<platform::ui::CollectionViewCell>>;

    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(std::vector<Recommendation> withRecommendations) = 0;
    // Kept for the items handed out later, and given to `cells` now.
    virtual void update(const Cells& cells, const std::shared_ptr<OVTrack>& withCurrentEpisode,
                        const OVContent& inPodcast) = 0;
    virtual void update(const Cells& cells, OVAudioPlayerStatus withAudioStatus) = 0;
    virtual void didSelectRow(const platform::ui::IndexPath& atIndexPath) = 0;
};

}  // namespace orvane
