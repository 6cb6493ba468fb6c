// The description element's row of the main, podcast and episode pages: a
// header and a description text, collapsed or developed. Its delegate (the
// page) is asked to develop the text.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVDescriptionTextTableViewCellDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVDescriptionTextTableViewCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVDescriptionTextTableViewCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVDescriptionTextTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVDescriptionTextTableViewCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVDescriptionTextTableViewCellDelegate> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVDescriptionTextTableViewCellDelegate> delegate_;
};

}  // namespace orvane
