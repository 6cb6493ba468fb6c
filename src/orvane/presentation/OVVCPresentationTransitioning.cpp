#include "orvane/presentation/OVVCPresentationTransitioning.hpp"

#include "orvane/presentation/OVCancelButton.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using namespace platform::ui;

OVVCPresentationTransitioning::OVVCPresentationTransitioning()
    : shadowViewAlpha_(OVConstants::OVVCPresentationTransitioning::shadowViewAlpha) {}

OVVCPresentationTransitioning::~OVVCPresentationTransitioning() = default;

const std::shared_ptr<TapGestureRecognizer>& OVVCPresentationTransitioning::tapToCloseGestureRecognizer() {
    if (!tapToCloseGestureRecognizer_) {
        tapToCloseGestureRecognizer_ =
            TapGestureRecognizer::create(shared_from_this(), &OVVCPresentationTransitioning::didTapSwipeDown);
    }
    return tapToCloseGestureRecognizer_;
}

void OVVCPresentationTransitioning::setCancel() {
    if (auto button = cancelButton()) {
        button->addTarget(shared_from_this(), &OVVCPresentationTransitioning::didTapClose,
                          ControlEvents::touchUpInside);
    }
}

void OVVCPresentationTransitioning::setSwipeTarget() {
    if (auto button = swipeDownButton()) {
        button->addTarget(shared_from_this(), &OVVCPresentationTransitioning::didTapSwipeDown,
                          ControlEvents::touchUpInside);
    }
}

void OVVCPresentationTransitioning::didTapClose() {
    if (auto d = delegate()) d->didTapClose();
}

void OVVCPresentationTransitioning::didTapSwipeDown() {
    if (auto d = delegate()) d->didTapSwipeDown();
}

void OVVCPresentationTransitioning::customizeLayers(const std::shared_ptr<View>& view,
                                                    const std::shared_ptr<View>& /*presentedView*/,
                                                    Size shadowOffset) {
    if (!view) return;
    auto& layer = *view->layer();
    constexpr double level = 5.0 / 255.0;
    layer.setShadowColor(Color{level, level, level, 0.2});
    layer.setShadowOpacity(0.2);
    layer.setShadowOffset(shadowOffset);
    layer.setShadowRadius(1.0);
}

std::shared_ptr<View> OVVCPresentationTransitioning::addShadowView(const std::shared_ptr<View>& toContainerView) {
    auto shadow = View::create(toContainerView ? toContainerView->bounds() : Rect{});
    shadow->setBackgroundColor(Color::black());
    shadow->setAlpha(0.0);
    if (toContainerView) toContainerView->addSubview(shadow);
    return shadow;
}

}  // namespace orvane
