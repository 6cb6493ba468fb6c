#include "orvane/toolkit/ButtonExtensions.hpp"


namespace orvane {

using namespace platform::ui;

void permuteImageAndLabel(Button& button) {
    const auto mirror = AffineTransform::scale(-1, 1);
    button.setTransform(mirror);
    if (const auto& label = button.titleLabel()) label->setTransform(mirror);
    // The image view is mirrored whether or not it shows an image yet: an
    // image set later must stand after the title too.
    if (const auto& image = button.imageView()) image->setTransform(mirror);
}

void tapAnimation(const std::shared_ptr<View>& button, std::function<void()> completion) {
    if (!button) return;
    View::animateKeyframes(
        0.4, 0.0, ViewAnimationOptions{},
        [&button] {
            View::addKeyframe(0.0, 0.5, [&button] { button->setTransform(AffineTransform::scale(1.3, 1.3)); });
            View::addKeyframe(0.5, 0.5, [&button] { button->setTransform(AffineTransform::scale(0.0, 0.0)); });
        },
        [button, completion = std::move(completion)](bool) {
            View::performWithoutAnimation([&button] { button->setTransform(AffineTransform::identity()); });
            if (completion) completion();
        });
}

}  // namespace orvane
