// The presenter of the discover page's headline carousel and its data
// source: keeps the theme and main colour and the podcasts in the page's
// order, dresses a carousel item for each podcast (with the theme only once
// it has both the theme and a main colour), and reports the chosen podcast
// to the page.
//
// Made by the row cell when it wakes from its nib; the cell owns it and it
// refers to the cell weakly. Every item index is checked against the
// current list. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/elements/OVRecommendationHeadlinesCellInput.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCellInteractorInput.hpp"

namespace orvane {

class OVRecommendationHeadlinesCellInteractor final : public OVRecommendationHeadlinesCellInteractorInput {
public:
    explicit OVRecommendationHeadlinesCellInteractor(std::weak_ptr<OVRecommendationHeadlinesCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor) override;
    void update(std::vector<OVContent> withRecommendations) override;
    void didSelectRow(const platform::ui::IndexPath& atIndexPath) override;

    int numberOfItems(platform::ui::CollectionView& collectionView, int section) override;
    std::shared_ptr<platform::ui::CollectionViewCell> cellForItem(platform::ui::CollectionView& collectionView,
                                                                  const platform::ui::IndexPath& indexPath) override;

    const std::vector<OVContent>& podcasts() const { return podcasts_; }

private:
    const OVContent* podcast(int item) const;

    std::weak_ptr<OVRecommendationHeadlinesCellInput> view_;
    std::vector<OVContent> podcasts_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
};

}  // namespace orvane
