// The player element's row of the main page: the current episode's artwork,
// title and podcast, the position slider and the slot of the transport
// buttons. Its delegate (the coordinator, set by the element) receives the
// seek requests.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/playback/OVPlayerUserActionDelegate.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVPlayerTableViewCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVPlayerTableViewCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVPlayerTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVPlayerUserActionDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVPlayerUserActionDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVPlayerUserActionDelegate> delegate_;
};

}  // namespace orvane
