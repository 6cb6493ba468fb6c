#include "orvane/pages/OVMainPage.hpp"

namespace orvane {

OVMainPage::OVMainPage(ConstructorKey key) : OVPage(key) {}

OVMainPage::~OVMainPage() = default;

void OVMainPage::initialize(const std::shared_ptr<OVPageCoordinator>& /*withCoordinator*/) {
    setPageDisplaysFoterPlayer(false);
}

void OVMainPage::setNavigationBarButtonIsDisplayed(NavigationBarButtons buttons) {
    navigationBarButtonIsDisplayed_ = buttons;
}

OVMainPage::NavigationBarButtons OVMainPage::navigationBarButtonIsDisplayed() const {
    return navigationBarButtonIsDisplayed_;
}

std::shared_ptr<platform::ui::View> OVMainPage::preview() { return nullptr; }

void OVMainPage::setImageRatio(double /*ratio*/, bool /*withoutAnimation*/) {}

std::shared_ptr<platform::ui::LayoutConstraint> OVMainPage::ratioConstraint() const { return nullptr; }

void OVMainPage::downloadStatusDidChange(const std::shared_ptr<OVTrack>& /*forTrack*/,
                                         const OVTrack::DownloadStatus& /*to*/) {}

}  // namespace orvane
