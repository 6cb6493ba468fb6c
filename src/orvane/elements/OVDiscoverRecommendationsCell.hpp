// The discover page's two-column grid of recommended episodes under a
// header, with a line along its top. The grid never scrolls: the cell is as
// tall as its rows of items (items sized from the page width by `setHeight`,
// rows 24 points apart), so the page's own table scrolls. Items show the
// current episode and the player status; the presenter keeps both and gives
// them to every item it hands out, and the cell passes changes to the items
// shown. A tap on an item tells the page (`delegate`) which episode's
// details were asked for. The coordinator is offered to the presenter, which
// calls nothing on it.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Owns its presenter (the grid's
// data source), which refers to it weakly; the cell is the grid's delegate.
// Main thread only; owned by its element.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "orvane/elements/OVDiscoverRecommendationsCellDelegate.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCellInput.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCellInteractorInput.hpp"
#include "orvane/pages/OVEpisodeUpdatable.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/lists/CollectionView.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVDiscoverRecommendationsCell : public OVPageElementTableViewCell,
                                      public OVDiscoverRecommendationsCellInput,
                                      public OVEpisodeUpdatable,
                                      public platform::ui::CollectionViewDelegate {
public:
    using Recommendation = OVDiscoverRecommendationsCellInteractorInput::Recommendation;

    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVDiscoverRecommendationsCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);
    // Between the items of a row, and between rows.
    static constexpr double interitemSpacing = 12;
    static constexpr double lineSpacing = 24;

    OVDiscoverRecommendationsCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVDiscoverRecommendationsCellDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVDiscoverRecommendationsCellDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<OVPageCoordinator> coordinator() const override { return coordinator_.lock(); }
    void setCoordinator(std::weak_ptr<OVPageCoordinator> coordinator) { coordinator_ = std::move(coordinator); }

    // ---- From the discover page and its presenter ----
    // Sizes the items from the page width: two columns and three margins of
    // 12 fill it, each item 58 points taller than wide. A narrow page gives
    // items 0 wide (never less); while no page width is known the sizes stay
    // as they are.
    void setHeight();
    // Replaces the items; the height follows with the item size in force.
    void update(std::vector<Recommendation> withRecommendations);
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    // The current episode: the items shown now, and every item handed out later.
    void update(const std::shared_ptr<OVTrack>& forEpisode, const OVContent& inPodcast) override;
    // The player status: likewise.
    void update(OVAudioPlayerStatus withAudioStatus);

    // ---- From the presenter ----
    void update(const OVDiscoverRecommendationsCellInputModel::Style& withViewModel) override;
    void dataSourceDidUpdate() override;

    // ---- The grid's delegate ----
    void didSelectItem(platform::ui::CollectionView& collectionView, const platform::ui::IndexPath& indexPath) override;
    double minimumInteritemSpacingForSection(platform::ui::CollectionView& collectionView, int section) override;
    double minimumLineSpacingForSection(platform::ui::CollectionView& collectionView, int section) override;

    // ---- Views and sizes, for the page and its tests ----
    const std::shared_ptr<platform::ui::Label>& headerLabel() const { return headerLabel_; }
    const std::shared_ptr<platform::ui::CollectionView>& collectionView() const { return collectionView_; }
    // The content view's height.
    const platform::ui::LayoutConstraintPtr& heightConstraint() const { return heightConstraint_; }
    // The height of one item; 0 until the first `setHeight` with a width.
    double cellHeight() const { return cellHeight_; }

    void awakeFromNib() override;

private:
    void updateCellHeight();

    std::shared_ptr<platform::ui::Label> headerLabel_;
    std::shared_ptr<platform::ui::CollectionView> collectionView_;
    std::shared_ptr<OVDiscoverRecommendationsCellInteractorInput> interactor_;
    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVDiscoverRecommendationsCellDelegate> delegate_;
    double cellHeight_ = 0;
    platform::ui::LayoutConstraintPtr heightConstraint_;
};

}  // namespace orvane
