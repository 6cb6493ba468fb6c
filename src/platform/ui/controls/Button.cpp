#include "platform/ui/controls/Button.hpp"

#include <algorithm>

namespace platform::ui {

std::shared_ptr<Button> Button::create(const Rect& frame) {
    auto button = std::make_shared<Button>(ConstructorKey{}, frame);
    button->installSubviews();
    return button;
}

void Button::installSubviews() {
    addSubview(backgroundImageView_);
    addSubview(imageView_);
    addSubview(titleLabel_);
    update();
}

Button::Button(ConstructorKey key, const Rect& frame)
    : Control(key, frame),
      backgroundImageView_(ImageView::create()),
      imageView_(ImageView::create()),
      titleLabel_(Label::create()) {
    imageView_->setContentMode(ContentMode::center);
    titleLabel_->setFont(Font::systemFont(15));
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
    titleLabel_->setText(currentTitle());
    titleLabel_->setTextColor(currentTitleColor());
    titleLabel_->setHidden(!titleLabel_->text() || titleLabel_->text()->empty());
    setNeedsLayout();
}

void Button::layoutSubviews() {
    const Rect b = bounds();
    backgroundImageView_->setFrame(b);
    const Size image = imageView_->isHidden() ? Size{} : imageView_->intrinsicContentSize();
    Size title = titleLabel_->isHidden() ? Size{} : titleLabel_->intrinsicContentSize();
    title.width = std::min(title.width, std::max(0.0, b.size.width - image.width));
    const double left = b.origin.x + (b.size.width - image.width - title.width) / 2;
    // By bounds and centre, so that an image or title drawn mirrored (a
    // transform of their own) is placed the same way.
    const auto place = [](View& view, const Rect& frame) {
        view.setBounds(Rect{view.bounds().origin, frame.size});
        view.setCenter(Point{frame.midX(), frame.midY()});
    };
    place(*imageView_, Rect{left, b.origin.y + (b.size.height - image.height) / 2, image.width, image.height});
    place(*titleLabel_,
          Rect{left + image.width, b.origin.y + (b.size.height - title.height) / 2, title.width, title.height});
}

}  // namespace platform::ui
