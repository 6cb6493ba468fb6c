#include "orvane/coordinator/OVFanVCInteractor.hpp"

#include "orvane/coordinator/OVPopup.hpp"
#include "orvane/pages/OVScreen.hpp"

namespace orvane {

using platform::ui::ViewController;

OVFanVCInteractor::OVFanVCInteractor(const std::shared_ptr<OVFanVCInput>& withController)
    : controller_(withController) {}

void OVFanVCInteractor::update(std::vector<std::shared_ptr<OVScreen>> screens) { screens_ = std::move(screens); }

void OVFanVCInteractor::didTransition(const std::shared_ptr<OVScreen>& to) { currentScreenIndex_ = indexOf(to); }

std::optional<int> OVFanVCInteractor::indexOf(const std::shared_ptr<ViewController>& controller) const {
    const auto screen = std::dynamic_pointer_cast<OVScreen>(controller);
    if (!screen) return std::nullopt;
    for (std::size_t i = 0; i < screens_.size(); ++i) {
        if (screens_[i] == screen) return static_cast<int>(i);
    }
    return std::nullopt;
}

std::shared_ptr<ViewController> OVFanVCInteractor::viewControllerBefore(platform::ui::PageViewController&,
                                                                        const std::shared_ptr<ViewController>& current) {
    const auto index = indexOf(current);
    if (!index || *index <= 0) return nullptr;
    return screens_[static_cast<std::size_t>(*index - 1)];
}

std::shared_ptr<ViewController> OVFanVCInteractor::viewControllerAfter(platform::ui::PageViewController&,
                                                                       const std::shared_ptr<ViewController>& current) {
    const auto index = indexOf(current);
    if (!index || static_cast<std::size_t>(*index + 1) >= screens_.size()) return nullptr;
    return screens_[static_cast<std::size_t>(*index + 1)];
}

void OVFanVCInteractor::displayPopup(const platform::ui::AttributedString& withAttributedString) {
    const auto popup = OVPopup::make();
    if (!popup) return;
    if (!theme_ || !mainColor_) return;
    popup->update(*theme_, *mainColor_);
    popup->update(withAttributedString);
    if (const auto controller = controller_.lock()) controller->present(popup);
}

}  // namespace orvane
