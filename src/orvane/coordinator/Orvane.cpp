#include "orvane/coordinator/Orvane.hpp"

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/toolkit/OVGetAsset.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/ViewController.hpp"

namespace orvane {

Orvane& Orvane::shared() {
    static Orvane instance;
    return instance;
}

Orvane::Orvane() { setConfig(); }

void Orvane::setConfigurations(std::optional<OVConfigurations> configurations) {
    configurations_ = std::move(configurations);
    // A record without an image keeps the artwork of the moment.
    if (configurations_ && configurations_->defaultImage) {
        setDefaultImage(configurations_->defaultImage);
    } else {
        setDefaultImage(defaultImage());
    }
}

void Orvane::setConfiguration(OVConfigurations configuration) { setConfigurations(std::move(configuration)); }

void Orvane::start() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (coordinator_) coordinator_->quit();
    coordinator_ = OVCoordinator::create();
}

void Orvane::setConfig() {
    OVPage::config().navigationToMainPageLeftArrow = OVGetAsset::navigationLeftArrowButton();
    OVPage::config().navigationToMainPageRightArrow = OVGetAsset::navigationRightArrowButton();
}

}  // namespace orvane
