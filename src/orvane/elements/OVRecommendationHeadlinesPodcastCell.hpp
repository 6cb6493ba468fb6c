// An item of the discover page's headline carousel: a recommended podcast's
// artwork (three fifths as high as wide), its title and its editor.
//
// An ordinary reusable item: the carousel registers its nib (`nib`, under
// `ReuseIdentifier`) and dresses every item it hands out. Both updates go
// unchanged to the item's presenter, which answers with one record the
// item applies.
//
// Made only by its nib; owns its presenter, which refers to it weakly.
// Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/elements/OVRecommendationHeadlinesPodcastCellInput.hpp"
#include "orvane/elements/OVRecommendationHeadlinesPodcastCellInteractorInput.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/CollectionViewCell.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVRecommendationHeadlinesPodcastCell : public platform::ui::CollectionViewCell,
                                             public OVRecommendationHeadlinesPodcastCellInput {
public:
    // The item's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVRecommendationHeadlinesPodcastCell";
    // The nib's builder (registered with the element nibs).
    static bool nib(platform::ui::NibBuild& build);
    // What an item adds under its artwork: 16, the title (20), 4, the editor
    // (18) and 24.
    static constexpr double textsHeight = 82;

    OVRecommendationHeadlinesPodcastCell(ConstructorKey key, const platform::graphics::Rect& frame);

    // ---- From the carousel ----
    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor);
    void update(const OVContent& withPodcast);

    // ---- The records, from the presenter ----
    void update(const OVRecommendationHeadlinesPodcastCellModel::Style& withViewModel) override;
    void update(const OVRecommendationHeadlinesPodcastCellModel::Data& withViewModel) override;

    // ---- The item's views, for the carousel's tests ----
    const std::shared_ptr<OVImageView>& imageView() const { return imageView_; }
    const std::shared_ptr<platform::ui::Label>& podcastLabel() const { return podcastLabel_; }
    const std::shared_ptr<platform::ui::Label>& editorLabel() const { return editorLabel_; }

    void awakeFromNib() override;

private:
    std::shared_ptr<OVImageView> imageView_;
    std::shared_ptr<platform::ui::Label> podcastLabel_;
    std::shared_ptr<platform::ui::Label> editorLabel_;
    std::shared_ptr<OVRecommendationHeadlinesPodcastCellInteractorInput> interactor_;
};

}  // namespace orvane
