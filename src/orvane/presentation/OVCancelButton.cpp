#include "orvane/presentation/OVCancelButton.hpp"

#include "orvane/model/OVGetAsset.hpp"

namespace orvane {

using namespace platform::ui;

std::shared_ptr<OVCancelButton> OVCancelButton::create() {
    auto button = std::make_shared<OVCancelButton>(ConstructorKey{}, Rect{0, 0, 40, 40});
    button->installSubviews();
    button->setRadius(10);
    button->initialize();
    button->setWithVibrancy(OVGetAsset::cancelButton(), BlurEffect::Style::extraLight);
    return button;
}

OVCancelButton::OVCancelButton(ConstructorKey key, const Rect& frame) : OVRoundBlurButtonWithContent(key, frame) {}

}  // namespace orvane
