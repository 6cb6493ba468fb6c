// The main page's list of the episodes recommended after the current one.
// Its delegate (the main page) hears the choice of an episode and the rows'
// buttons; the coordinator is offered to the list's presenter, which calls
// nothing on it.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/pages/OVMainPageUserAction.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {

class OVRecommandationListCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVRecommandationListCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVRecommandationListCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVMainPageUserAction> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVMainPageUserAction> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<OVPageCoordinator> coordinator() const { return coordinator_.lock(); }
    void setCoordinator(std::weak_ptr<OVPageCoordinator> coordinator) { coordinator_ = std::move(coordinator); }

private:
    std::weak_ptr<OVMainPageUserAction> delegate_;
    std::weak_ptr<OVPageCoordinator> coordinator_;
};

}  // namespace orvane
