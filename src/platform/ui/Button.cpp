#include "platform/ui/Button.hpp"

namespace platform::ui {

std::shared_ptr<Button> Button::create(const Rect& frame) {
    auto button = std::make_shared<Button>(ConstructorKey{}, frame);
    button->installSubviews();
    return button;
}

void Button::installSubviews() {
    addSubview(backgroundImageView_);
    addSubview(imageView_);
    update();
}

Button::Button(ConstructorKey key, const Rect& frame)
    : Control(key, frame), backgroundImageView_(ImageView::create()), imageView_(ImageView::create()) {
    imageView_->setContentMode(ContentMode::center);
}

void Button::setTitle(std::optional<std::string> title, ControlState state) {
    store(titles_, std::move(title), state);
    update();
}
std::optional<std::string> Button::title(ControlState state) const { return lookup(titles_, state); }

void Button::setTitleColor(std::optional<Color> color, ControlState state) {
    store(titleColors_, std::move(color), state);
    update();
}
std::optional<Color> Button::titleColor(ControlState state) const {
    auto color = lookup(titleColors_, state);
    return color ? color : std::optional<Color>(Color::white());
}

void Button::setImage(std::optional<Image> image, ControlState state) {
    store(images_, std::move(image), state);
    update();
}
std::optional<Image> Button::image(ControlState state) const { return lookup(images_, state); }

void Button::setBackgroundImage(std::optional<Image> image, ControlState state) {
    store(backgroundImages_, std::move(image), state);
    update();
}
std::optional<Image> Button::backgroundImage(ControlState state) const { return lookup(backgroundImages_, state); }

void Button::stateDidChange() { update(); }

void Button::update() {
    backgroundImageView_->setImage(currentBackgroundImage());
    backgroundImageView_->setHidden(!backgroundImageView_->image());
    imageView_->setImage(currentImage());
    imageView_->setHidden(!imageView_->image());
    setNeedsLayout();
}

void Button::layoutSubviews() {
    const Rect b = bounds();
    backgroundImageView_->setFrame(b);
    const Size s = imageView_->intrinsicContentSize();
    imageView_->setFrame(Rect{b.origin.x + (b.size.width - s.width) / 2, b.origin.y + (b.size.height - s.height) / 2,
                              s.width, s.height});
    // Title: drawn by the title label once the kit has labels; until then the
    // per-state titles are data only.
}

}  // namespace platform::ui
