// The library page's list of the listener's podcasts. Its delegate (the
// library page) hears the choice of a podcast and the rows' notification
// switches.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/pages/OVLibraryPageUserAction.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVLibraryPodcastsListCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVLibraryPodcastsListCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVLibraryPodcastsListCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVLibraryPageUserAction> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVLibraryPageUserAction> delegate) { delegate_ = std::move(delegate); }

private:
    std::weak_ptr<OVLibraryPageUserAction> delegate_;
};

}  // namespace orvane
