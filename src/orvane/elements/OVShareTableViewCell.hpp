// The share element's row: a call to action and a podcast platform's button.
// Its delegate is declared for the cell's owner; no page places the row.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVShareTableViewCellDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVShareTableViewCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVShareTableViewCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVShareTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVShareTableViewCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVShareTableViewCellDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVShareTableViewCellDelegate> delegate_;
};

}  // namespace orvane
