#include "orvane/elements/OVDiscoverRecommendationsCellInteractor.hpp"

#include <string>

#include "orvane/elements/OVDiscoverRecommendationEpisodeCell.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::CollectionView;
using platform::ui::CollectionViewCell;
using platform::ui::IndexPath;

void OVDiscoverRecommendationsCellInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    theme_ = withTheme;
    mainColor_ = andMainColor;
    if (const auto view = view_.lock()) {
        view->update(OVDiscoverRecommendationsCellInputModel::Style{.separatorColor = withTheme.separatorColor(),
                                                                    .backgroundColor = withTheme.backgroundColor(),
                                                                    .headerTextColor = withTheme.cellHeaderFontColor()});
    }
}

void OVDiscoverRecommendationsCellInteractor::update(std::vector<Recommendation> withRecommendations) {
    recommendations_ = std::move(withRecommendations);
    if (const auto view = view_.lock()) view->dataSourceDidUpdate();
}

void OVDiscoverRecommendationsCellInteractor::update(const Cells& cells, const std::shared_ptr<OVTrack>& withCurrentEpisode,
                                                     const OVContent& inPodcast) {
    currentEpisode_ = withCurrentEpisode;
    currentPodcast_ = inPodcast;
    for (const auto& cell : cells)
        if (const auto item = std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(cell))
            item->updateWithCurrentEpisode(withCurrentEpisode, inPodcast);
}

void OVDiscoverRecommendationsCellInteractor::update(const Cells& cells, OVAudioPlayerStatus withAudioStatus) {
    audioStatus_ = withAudioStatus;
    for (const auto& cell : cells)
        if (const auto item = std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(cell))
            item->update(withAudioStatus);
}

void OVDiscoverRecommendationsCellInteractor::didSelectRow(const IndexPath& atIndexPath) {
    const auto* selected = recommendation(atIndexPath.item());
    if (!selected) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didTapForDetails(selected->episode, selected->inPodCast);
}

int OVDiscoverRecommendationsCellInteractor::numberOfItems(CollectionView&, int section) {
    return section == 0 ? static_cast<int>(recommendations_.size()) : 0;
}

std::shared_ptr<CollectionViewCell> OVDiscoverRecommendationsCellInteractor::cellForItem(CollectionView& collectionView,
                                                                                        const IndexPath& indexPath) {
    const auto* shown = recommendation(indexPath.item());
    if (!shown) {
        platform::core::debugPrint("discover recommendations: no episode at item " + std::to_string(indexPath.item()));
        return CollectionViewCell::create();
    }
    auto item = std::dynamic_pointer_cast<OVDiscoverRecommendationEpisodeCell>(collectionView.dequeueReusableCell(
        std::string(OVDiscoverRecommendationEpisodeCell::ReuseIdentifier), indexPath));
    if (!item) return CollectionViewCell::create();
    if (theme_ && mainColor_) item->update(*theme_, *mainColor_);
    item->update(shown->episode, shown->inPodCast);
    // What the item showed for another episode never survives a hand-out.
    if (currentPodcast_) {
        item->updateWithCurrentEpisode(currentEpisode_, *currentPodcast_);
    } else {
        item->updateWithCurrentEpisode(nullptr, OVContent{});
    }
    if (audioStatus_) item->update(*audioStatus_);
    return item;
}

const OVDiscoverRecommendationsCellInteractor::Recommendation* OVDiscoverRecommendationsCellInteractor::recommendation(
    int item) const {
    if (item < 0 || item >= static_cast<int>(recommendations_.size())) return nullptr;
    return &recommendations_[static_cast<std::size_t>(item)];
}

}  // namespace orvane
