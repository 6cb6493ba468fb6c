// The discover page's two-column grid of recommended episodes. Its delegate
// (the discover page) hears the items' details requests; the coordinator is
// offered to the grid's presenter, which calls nothing on it.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVDiscoverRecommendationsCellDelegate.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVDiscoverRecommendationsCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVDiscoverRecommendationsCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVDiscoverRecommendationsCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVDiscoverRecommendationsCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVDiscoverRecommendationsCellDelegate> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<OVPageCoordinator> coordinator() const { return coordinator_.lock(); }
    void setCoordinator(std::weak_ptr<OVPageCoordinator> coordinator) { coordinator_ = std::move(coordinator); }

private:
    std::weak_ptr<OVDiscoverRecommendationsCellDelegate> delegate_;
    std::weak_ptr<OVPageCoordinator> coordinator_;
};

}  // namespace orvane
