// The podcast page's subscribe and notification buttons. Its delegate (the
// podcast page) applies each change and confirms it.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVPodcastSubscriptionCellDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVPodcastSubscriptionCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVPodcastSubscriptionCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVPodcastSubscriptionCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVPodcastSubscriptionCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVPodcastSubscriptionCellDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVPodcastSubscriptionCellDelegate> delegate_;
};

}  // namespace orvane
