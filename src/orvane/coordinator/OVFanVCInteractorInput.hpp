// The root container's interactor as the container sees it: the screens in
// paging order (library 0, main 1, discover 2), the index of the one shown
// (none once told of a screen it does not hold), and the popups it builds.
// Owned by the container. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

class OVScreen;

class OVFanVCInteractorInput {
public:
    virtual ~OVFanVCInteractorInput() = default;
    // Replaces the screens; the index is left as it is.
    virtual void update(std::vector<std::shared_ptr<OVScreen>> screens) = 0;
    // Builds a popup with `withAttributedString` and has the container show it.
    virtual void displayPopup(const platform::ui::AttributedString& withAttributedString) = 0;
    // The index of `screen` among the screens (the same object), or none.
    virtual void didTransition(const std::shared_ptr<OVScreen>& to) = 0;
    virtual const std::vector<std::shared_ptr<OVScreen>>& screens() const = 0;
    virtual std::optional<int> currentScreenIndex() const = 0;
};

}  // namespace orvane
