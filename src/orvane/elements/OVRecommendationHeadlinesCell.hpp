// The discover page's carousel of headline podcasts. Its delegate (the
// discover page) hears the choice of a podcast.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVRecommendationsHeadlinesDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVRecommendationHeadlinesCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVRecommendationHeadlinesCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVRecommendationHeadlinesCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVRecommendationsHeadlinesDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVRecommendationsHeadlinesDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVRecommendationsHeadlinesDelegate> delegate_;
};

}  // namespace orvane
