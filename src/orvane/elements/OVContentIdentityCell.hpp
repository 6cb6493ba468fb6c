// The identity header of the podcast and episode pages: artwork, title and
// subtitle. Its delegate (the episode page) hears the subtitle's taps.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVContentIdentityCellDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVContentIdentityCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVContentIdentityCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVContentIdentityCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVContentIdentityCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVContentIdentityCellDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVContentIdentityCellDelegate> delegate_;
};

}  // namespace orvane
