#include "orvane/elements/OVShareCellViewModel.hpp"

#include <algorithm>

#include "orvane/elements/OVWebAddress.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/SystemVersion.hpp"
#include "platform/ui/views/Application.hpp"

namespace orvane {

using platform::core::URL;

namespace {

// Opens a web address through the call the system offers; any other
// address is refused.
void openWebAddress(const URL& address) {
    if (!isWebAddress(address)) {
        platform::core::debugPrint("Share element: not a web address, not opened: " + address.absoluteString());
        return;
    }
    auto& application = platform::ui::Application::shared();
    if (platform::core::SystemVersion::isAtLeast(10)) {
        application.open(address.absoluteString());
    } else {
        application.openURL(address.absoluteString());
    }
}

}  // namespace

void OVShareCellViewModel::setCtas(std::vector<OVCallToAction> ctas) {
    ctas_ = std::move(ctas);
    if (updateCtas_) updateCtas_(ctas_);
}

void OVShareCellViewModel::initialize(const OVTheme& theme, const platform::graphics::Color& mainColor,
                                      std::vector<OVCallToAction> ctas) {
    setTheme(theme);
    setMainColor(mainColor);
    setCtas(std::move(ctas));
}

std::optional<std::string> OVShareCellViewModel::sendUpTitle(const std::vector<OVCallToAction>& ctas) {
    const auto seeMore = std::ranges::find(ctas, OVCtaType::seemore, &OVCallToAction::type);
    if (seeMore == ctas.end()) return std::nullopt;
    return seeMore->text;
}

bool OVShareCellViewModel::showsApplePodcasts(const std::vector<OVCallToAction>& ctas) {
    return std::ranges::any_of(ctas, [](const OVCallToAction& cta) {
        return cta.type == OVCtaType::podcastplatform && cta.applePodcast;
    });
}

void OVShareCellViewModel::didTapApplePodcast() {
    const auto platformCta = std::ranges::find(ctas_, OVCtaType::podcastplatform, &OVCallToAction::type);
    std::optional<URL> address;
    if (platformCta != ctas_.end() && platformCta->applePodcast) address = url(*platformCta->applePodcast);
    if (address) openWebAddress(*address);
    OVWidgetManagerOLD::shared().event(OVEventExpand::ctaPlatform, std::nullopt);
}

void OVShareCellViewModel::didTapSendUpButton() {
    std::optional<URL> address;
    for (const auto& cta : ctas_) {
        if (!cta.destination) continue;
        if ((address = url(*cta.destination))) break;
    }
    if (address) openWebAddress(*address);
    OVWidgetManagerOLD::shared().event(OVEventExpand::ctaWebsite, std::nullopt);
}

}  // namespace orvane
