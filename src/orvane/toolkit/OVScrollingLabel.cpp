#include "orvane/toolkit/OVScrollingLabel.hpp"

namespace orvane {

using platform::ui::LayoutConstraint;

// ---- OVScrollingLabel ----

std::shared_ptr<OVScrollingLabel> OVScrollingLabel::create(const platform::graphics::Rect& frame) {
    auto label = std::make_shared<OVScrollingLabel>(ConstructorKey{}, frame);
    label->build();
    return label;
}

OVScrollingLabel::OVScrollingLabel(ConstructorKey key, const platform::graphics::Rect& frame)
    : View(key, frame), scrollingContainer_(ScrollingContainer::create()) {}

void OVScrollingLabel::build() {
    setClipsToBounds(true);
    addSubview(scrollingContainer_);

    ScrollingContainer& container = *scrollingContainer_;
    container.heightAnchor().constraintEqualTo(heightAnchor())->setActive(true);
    container.centerYAnchor().constraintEqualTo(centerYAnchor())->setActive(true);
    container.setCenterXConstraint(container.centerXAnchor().constraintEqualTo(centerXAnchor()));
    container.setLeftConstraint(container.leftAnchor().constraintEqualTo(leftAnchor(), 0));
    container.setWidthConstraint(container.widthAnchor().constraintEqualToConstant(0));
    container.widthConstraint()->setActive(true);
}

const std::vector<std::shared_ptr<OVScrollingLabel::SubLabel>>& OVScrollingLabel::sublabels() const {
    return scrollingContainer_->labels();
}

void OVScrollingLabel::setFont(std::optional<platform::ui::Font> font) {
    font_ = std::move(font);
    for (const auto& label : sublabels()) label->setFont(font_);
}

void OVScrollingLabel::setTextColor(std::optional<platform::graphics::Color> color) {
    textColor_ = std::move(color);
    for (const auto& label : sublabels()) label->setTextColor(textColor_);
}

void OVScrollingLabel::setText(std::optional<std::string> text) {
    text_ = std::move(text);
    for (const auto& label : sublabels()) label->setText(text_);
    updateTextDisplay();
}

void OVScrollingLabel::setTextMaxLength(std::optional<double> length) {
    textMaxLength_ = length;
    updateTextDisplay();
}

void OVScrollingLabel::updateTextDisplay() {
    if (sublabels().empty()) return;
    const auto attributed = sublabels().front()->attributedText();
    if (!attributed) return;
    // Measured with the font the copy has now.
    const double width = attributed->size().width;
    if (!textMaxLength_) return;
    textWidth_ = width;
    for (const auto& label : sublabels()) {
        if (auto constraint = label->widthConstraint()) constraint->setConstant(textWidth_ + 1.0);
    }
    if (width > *textMaxLength_) {
        animationIsRunning_ = true;
        stopAnimation();
        startAnimation();  // from the beginning, also when it was sliding
    } else {
        animationIsRunning_ = false;
        stopAnimation();
    }
}

void OVScrollingLabel::stopAnimation() {
    ScrollingContainer& container = *scrollingContainer_;
    if (container.leftConstraint()) container.leftConstraint()->setActive(false);
    if (container.centerXConstraint()) container.centerXConstraint()->setActive(true);
    // The second copy starts beyond the container's right edge: clipped away.
    if (container.widthConstraint()) container.widthConstraint()->setConstant(textWidth_);
    container.layer()->removeAllAnimations();
}

void OVScrollingLabel::startAnimation() {
    ScrollingContainer& container = *scrollingContainer_;
    if (container.leftConstraint()) {
        container.leftConstraint()->setConstant(0);
        if (container.centerXConstraint()) container.centerXConstraint()->setActive(false);
        container.leftConstraint()->setActive(true);
    }
    if (container.widthConstraint()) container.widthConstraint()->setConstant(2 * textWidth_ + space);
    // The strip starts flush with the label's left edge.
    if (auto parent = superview()) parent->layoutIfNeeded();
    // Without a positive speed there is no cycle to run: the strip stays put.
    if (!(speed_ > 0) || !container.leftConstraint()) return;

    container.leftConstraint()->setConstant(-(textWidth_ + space));
    const double duration = ((bounds().size.width + textWidth_ + space) / 2) / speed_;
    platform::ui::ViewAnimationOptions options;
    options.curve = platform::ui::ViewAnimationCurve::linear;
    options.repeat = true;
    View::animate(duration, 0, options, [this] { layoutIfNeeded(); });
}

void OVScrollingLabel::restartAnimationIfNeeded() {
    if (animationIsRunning_ && scrollingContainer_->layer()->animationKeys().empty()) startAnimation();
}

// ---- ScrollingContainer ----

std::shared_ptr<OVScrollingLabel::ScrollingContainer> OVScrollingLabel::ScrollingContainer::create() {
    auto container = std::make_shared<ScrollingContainer>(ConstructorKey{});
    container->appendLabel(SubLabel::create());
    container->appendLabel(SubLabel::create());
    return container;
}

OVScrollingLabel::ScrollingContainer::ScrollingContainer(ConstructorKey key) : View(key, {}) {
    setClipsToBounds(true);
    setTranslatesAutoresizingMaskIntoConstraints(false);
}

void OVScrollingLabel::ScrollingContainer::appendLabel(const std::shared_ptr<SubLabel>& label) {
    addSubview(label);
    label->heightAnchor().constraintEqualTo(heightAnchor())->setActive(true);
    label->centerYAnchor().constraintEqualTo(centerYAnchor())->setActive(true);
    if (!labels_.empty()) {
        label->leftAnchor().constraintEqualTo(labels_.back()->rightAnchor(), space)->setActive(true);
    } else {
        label->leftAnchor().constraintEqualTo(leftAnchor())->setActive(true);
    }
    labels_.push_back(label);
}

// ---- SubLabel ----

std::shared_ptr<OVScrollingLabel::SubLabel> OVScrollingLabel::SubLabel::create() {
    auto label = std::make_shared<SubLabel>(ConstructorKey{});
    auto width = label->widthAnchor().constraintEqualToConstant(0);
    label->setWidthConstraint(width);
    width->setActive(true);
    return label;
}

OVScrollingLabel::SubLabel::SubLabel(ConstructorKey key) : Label(key, {}) {
    setTranslatesAutoresizingMaskIntoConstraints(false);
}

}  // namespace orvane
