#include "platform/ui/text/Label.hpp"

#include <cmath>

namespace platform::ui {

std::shared_ptr<Label> Label::create(const Rect& frame) { return std::make_shared<Label>(ConstructorKey{}, frame); }

Label::Label(ConstructorKey key, const Rect& frame)
    : View(key, frame), textLayer_(TextLayer::create()), font_(Font::systemFont(17)) {
    textLayer_->setCentersVertically(true);
    textLayer_->setFrame(Rect{{0, 0}, frame.size});
    layer()->insertSublayer(textLayer_, 0);
    setUserInteractionEnabled(false);
    update();
}

std::optional<std::string> Label::text() const {
    if (!text_) return std::nullopt;
    return text_->string();
}

void Label::setText(std::optional<std::string> text) {
    plain_ = true;
    if (text) text_ = AttributedString(std::move(*text), TextAttributes{font_, textColor_, {}, {}});
    else text_.reset();
    update();
}

std::optional<AttributedString> Label::attributedText() const { return text_; }

void Label::setAttributedText(std::optional<AttributedString> text) {
    plain_ = false;
    text_ = std::move(text);
    update();
}

void Label::setFont(std::optional<Font> font) {
    font_ = font ? *font : Font::systemFont(17);
    if (text_) text_->addAttribute(AttributeKey::font, font_, text_->fullRange());
    update();
}

void Label::setTextColor(std::optional<Color> color) {
    textColor_ = color.value_or(Color::black());
    if (text_) text_->addAttribute(AttributeKey::foregroundColor, textColor_, text_->fullRange());
    update();
}

void Label::setTextAlignment(TextAlignment alignment) {
    alignment_ = alignment;
    update();
}

void Label::setNumberOfLines(int lines) {
    numberOfLines_ = std::max(0, lines);
    update();
}

void Label::setLineBreakMode(LineBreakMode mode) {
    lineBreakMode_ = mode;
    update();
}

void Label::setPreferredMaxLayoutWidth(double width) {
    preferredMaxLayoutWidth_ = width;
    update();
}

TextLayoutOptions Label::layoutOptions() const {
    TextLayoutOptions options;
    options.numberOfLines = numberOfLines_;
    options.lineBreakMode = lineBreakMode_;
    // Attributed text keeps the alignment of its own paragraph style.
    if (plain_) options.alignment = alignment_;
    options.defaultFont = font_;
    options.defaultColor = textColor_;
    return options;
}

void Label::update() {
    textLayer_->setText(text_.value_or(AttributedString()));
    textLayer_->setOptions(layoutOptions());
    invalidateIntrinsicContentSize();
}

Size Label::intrinsicContentSize() const {
    if (!text_ || text_->length() == 0) return Size::zero();
    TextLayoutOptions options = layoutOptions();
    if (numberOfLines_ != 1 && preferredMaxLayoutWidth_ > 0) options.maxWidth = preferredMaxLayoutWidth_;
    const Size size = measureText(*text_, options).size;
    return {std::ceil(size.width), std::ceil(size.height)};
}

Size Label::sizeThatFits(Size size) const {
    if (!text_ || text_->length() == 0) return Size::zero();
    TextLayoutOptions options = layoutOptions();
    if (size.width > 0) options.maxWidth = size.width;
    const Size measured = measureText(*text_, options).size;
    return {std::ceil(measured.width), std::ceil(measured.height)};
}

void Label::layoutSubviews() {
    View::layoutSubviews();
    textLayer_->setFrame(bounds());
}

}  // namespace platform::ui
