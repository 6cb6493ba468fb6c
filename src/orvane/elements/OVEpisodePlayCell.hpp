// The episode page's play button, or the label telling that the shown
// episode plays. Its delegate (the episode page) hears the button's taps.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVEpisodePlayCellDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVEpisodePlayCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVEpisodePlayCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVEpisodePlayCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVEpisodePlayCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVEpisodePlayCellDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVEpisodePlayCellDelegate> delegate_;
};

}  // namespace orvane
