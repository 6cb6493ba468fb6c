// The discover page's first row: a header over a carousel of recommended
// podcasts that scrolls sideways in one line. Items are sized from the page
// width by `setHeight` (nine tenths of it wide, three fifths of that plus
// 82 points high) and the row is 34 points taller than an item, whatever the
// number of podcasts. Choosing an item tells the page (`delegate`) which
// podcast was chosen.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Owns its presenter (the carousel's
// data source), which refers to it weakly; the cell is the carousel's
// delegate. Main thread only; owned by its element.
#pragma once

#include <memory>
#include <optional>
#include <string_view>
#include <vector>

#include "orvane/elements/OVRecommendationHeadlinesCellInput.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCellInteractorInput.hpp"
#include "orvane/elements/OVRecommendationsHeadlinesDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/lists/CollectionView.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVRecommendationHeadlinesCell : public OVPageElementTableViewCell,
                                      public OVRecommendationHeadlinesCellInput,
                                      public platform::ui::CollectionViewDelegate {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVRecommendationHeadlinesCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);
    // Between two items of the carousel.
    static constexpr double interitemSpacing = 10;
    // Above the carousel: the header's band.
    static constexpr double headerBand = 34;

    OVRecommendationHeadlinesCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVRecommendationsHeadlinesDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVRecommendationsHeadlinesDelegate> delegate) { delegate_ = std::move(delegate); }

    // ---- From the discover page ----
    // Sizes the items and the row from the page width (0 while none is known).
    void setHeight();
    void update(std::vector<OVContent> withRecommendations);
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    // A theme without a main colour: items are then handed out unthemed.
    void update(const OVTheme& theme, const std::optional<platform::graphics::Color>& mainColor);

    // ---- From the presenter ----
    void update(const OVRecommendationHeadlinesCellInputModel::Style& withViewModel) override;
    void dataSourceDidUpdate() override;

    // ---- The carousel's delegate ----
    void didSelectItem(platform::ui::CollectionView& collectionView, const platform::ui::IndexPath& indexPath) override;
    double minimumInteritemSpacingForSection(platform::ui::CollectionView& collectionView, int section) override;

    // ---- Views, for the page and its tests ----
    const std::shared_ptr<platform::ui::Label>& headerLabel() const { return headerLabel_; }
    const std::shared_ptr<platform::ui::CollectionView>& collectionView() const { return collectionView_; }
    // The content view's height.
    const platform::ui::LayoutConstraintPtr& heightConstraint() const { return heightConstraint_; }

    void awakeFromNib() override;

private:
    std::shared_ptr<platform::ui::Label> headerLabel_;
    std::shared_ptr<platform::ui::CollectionView> collectionView_;
    std::shared_ptr<OVRecommendationHeadlinesCellInteractorInput> interactor_;
    std::weak_ptr<OVRecommendationsHeadlinesDelegate> delegate_;
    platform::ui::LayoutConstraintPtr heightConstraint_;
};

}  // namespace orvane
