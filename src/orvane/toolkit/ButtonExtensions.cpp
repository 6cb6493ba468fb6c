#include "orvane/toolkit/ButtonExtensions.hpp"

#include "platform/ui/ViewAnimation.hpp"

namespace orvane {

using namespace platform::ui;

void tapAnimation(const std::shared_ptr<View>& button, std::function<void()> completion) {
    if (!button) return;
    ViewAnimation::animateKeyframes(
        0.4, 0.0, ViewAnimationOptions{},
        [&button] {
            ViewAnimation::addKeyframe(0.0, 0.5, [&button] { button->setTransform(AffineTransform::scale(1.3, 1.3)); });
            ViewAnimation::addKeyframe(0.5, 0.5, [&button] { button->setTransform(AffineTransform::scale(0.0, 0.0)); });
        },
        [button, completion = std::move(completion)](bool) {
            ViewAnimation::performWithoutAnimation([&button] { button->setTransform(AffineTransform::identity()); });
            if (completion) completion();
        });
}

}  // namespace orvane
