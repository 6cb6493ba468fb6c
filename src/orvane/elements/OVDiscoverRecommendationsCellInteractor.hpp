// The presenter of the discover page's grid of recommended episodes and the
// grid's data source: keeps the theme and main colour, the recommended
// episodes in the page's order, the current episode with its podcast and the
// player status, and dresses a grid item with all of them at every hand-out,
// so a reused item never shows what it showed for another episode. Reports
// the selected item's episode and podcast to the page.
//
// Made by the grid cell when it wakes from its nib; the cell owns it and it
// refers to the cell weakly. Every item index is checked against the current
// list. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/elements/OVDiscoverRecommendationsCellInput.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCellInteractorInput.hpp"

namespace orvane {

class OVDiscoverRecommendationsCellInteractor final : public OVDiscoverRecommendationsCellInteractorInput {
public:
    explicit OVDiscoverRecommendationsCellInteractor(std::weak_ptr<OVDiscoverRecommendationsCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(std::vector<Recommendation> withRecommendations) override;
    void update(const Cells& cells, const std::shared_ptr<OVTrack>& withCurrentEpisode,
                const OVContent& inPodcast) override;
    void update(const Cells& cells, OVAudioPlayerStatus withAudioStatus) override;
    void didSelectRow(const platform::ui::IndexPath& atIndexPath) override;

    int numberOfItems(platform::ui::CollectionView& collectionView, int section) override;
    std::shared_ptr<platform::ui::CollectionViewCell> cellForItem(platform::ui::CollectionView& collectionView,
                                                                  const platform::ui::IndexPath& indexPath) override;

    const std::vector<Recommendation>& recommendations() const { return recommendations_; }

private:
    const Recommendation* recommendation(int item) const;

    std::weak_ptr<OVDiscoverRecommendationsCellInput> view_;
    std::vector<Recommendation> recommendations_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
    std::optional<OVAudioPlayerStatus> audioStatus_;
    std::shared_ptr<OVTrack> currentEpisode_;
    std::optional<OVContent> currentPodcast_;
};

}  // namespace orvane
