#include "orvane/elements/OVRecommendationHeadlinesCellInteractor.hpp"

#include <string>

#include "orvane/elements/OVRecommendationHeadlinesPodcastCell.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::ui::CollectionView;
using platform::ui::CollectionViewCell;
using platform::ui::IndexPath;

void OVRecommendationHeadlinesCellInteractor::update(const OVTheme& withTheme, const std::optional<Color>& andMainColor) {
    theme_ = withTheme;
    mainColor_ = andMainColor;
    if (const auto view = view_.lock()) {
        view->update(OVRecommendationHeadlinesCellInputModel::Style{.backgroundColor = withTheme.backgroundColor(),
                                                                    .headerTextColor = withTheme.cellHeaderFontColor()});
    }
}

void OVRecommendationHeadlinesCellInteractor::update(std::vector<OVContent> withRecommendations) {
    podcasts_ = std::move(withRecommendations);
    if (const auto view = view_.lock()) view->dataSourceDidUpdate();
}

void OVRecommendationHeadlinesCellInteractor::didSelectRow(const IndexPath& atIndexPath) {
    const auto* chosen = podcast(atIndexPath.item());
    if (!chosen) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didSelectPodcast(*chosen);
}

int OVRecommendationHeadlinesCellInteractor::numberOfItems(CollectionView&, int section) {
    return section == 0 ? static_cast<int>(podcasts_.size()) : 0;
}

std::shared_ptr<CollectionViewCell> OVRecommendationHeadlinesCellInteractor::cellForItem(CollectionView& collectionView,
                                                                                        const IndexPath& indexPath) {
    const auto* shown = podcast(indexPath.item());
    if (!shown) {
        platform::core::debugPrint("recommendation headlines: no podcast at item " + std::to_string(indexPath.item()));
        return CollectionViewCell::create();
    }
    auto item = std::dynamic_pointer_cast<OVRecommendationHeadlinesPodcastCell>(collectionView.dequeueReusableCell(
        std::string(OVRecommendationHeadlinesPodcastCell::ReuseIdentifier), indexPath));
    if (!item) return CollectionViewCell::create();
    if (theme_ && mainColor_) item->update(*theme_, mainColor_);
    item->update(*shown);
    return item;
}

const OVContent* OVRecommendationHeadlinesCellInteractor::podcast(int item) const {
    if (item < 0 || item >= static_cast<int>(podcasts_.size())) return nullptr;
    return &podcasts_[static_cast<std::size_t>(item)];
}

}  // namespace orvane
