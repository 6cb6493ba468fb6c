#include "platform/ui/text/TextView.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "platform/ui/views/Application.hpp"

namespace platform::ui {

std::shared_ptr<TextView> TextView::create(const Rect& frame) {
    return std::make_shared<TextView>(ConstructorKey{}, frame);
}

TextView::TextView(ConstructorKey key, const Rect& frame)
    : View(key, frame),
      textLayer_(TextLayer::create()),
      font_(Font::systemFont(12)),
      linkOpener_([](const std::string& url) { Application::shared().open(url); }) {
    layer()->insertSublayer(textLayer_, 0);
    update();
    setNeedsLayout();
}

void TextView::setAttributedText(AttributedString text) {
    text_ = std::move(text);
    update();
}

void TextView::setText(std::string text) {
    text_ = AttributedString(std::move(text), TextAttributes{font_, textColor_, {}, {}});
    update();
}

void TextView::setFont(std::optional<Font> font) {
    font_ = font ? *font : Font::systemFont(12);
    text_.addAttribute(AttributeKey::font, font_, text_.fullRange());
    update();
}

void TextView::setTextColor(std::optional<Color> color) {
    textColor_ = color.value_or(Color::black());
    text_.addAttribute(AttributeKey::foregroundColor, textColor_, text_.fullRange());
    update();
}

void TextView::setTextContainerInset(const EdgeInsets& inset) {
    inset_ = inset;
    setNeedsLayout();
}

void TextView::setLineFragmentPadding(double padding) {
    padding_ = std::max(0.0, padding);
    setNeedsLayout();
}

void TextView::setMaximumNumberOfLines(int lines) {
    maximumLines_ = std::max(0, lines);
    update();
}

void TextView::setLineBreakMode(LineBreakMode mode) {
    lineBreakMode_ = mode;
    update();
}

TextLayoutOptions TextView::layoutOptions() const {
    TextLayoutOptions options;
    options.numberOfLines = maximumLines_;
    options.lineBreakMode = lineBreakMode_;
    options.defaultFont = font_;
    options.defaultColor = textColor_;
    return options;
}

void TextView::update() {
    textLayer_->setText(text_);
    textLayer_->setOptions(layoutOptions());
}

bool TextView::activateLink(std::size_t index) {
    TextRange range;
    const TextAttributes attributes = text_.attributes(index, &range);
    if (!attributes.link) return false;
    if (auto delegate = delegate_.lock(); delegate && !delegate->shouldInteractWithURL(*this, *attributes.link, range))
        return false;
    if (linkOpener_) linkOpener_(*attributes.link);
    return true;
}

std::optional<std::size_t> TextView::characterIndexAt(Point point) const {
    const Rect b = bounds();
    const double width = std::max(0.0, b.size.width - inset_.left - inset_.right - 2 * padding_);
    return ui::characterIndexAt(text_, layoutOptions(), width,
                                Point{point.x - b.origin.x - inset_.left - padding_, point.y - b.origin.y - inset_.top});
}

void TextView::touchesBegan(const Touch& touch) { touchDown_ = touch.location(this); }

void TextView::touchesCancelled(const Touch&) { touchDown_.reset(); }

void TextView::touchesEnded(const Touch& touch) {
    const auto down = std::exchange(touchDown_, std::nullopt);
    if (!down || !selectable_) return;
    // A tap: lifted where it went down, on the same character.
    const Point up = touch.location(this);
    if (std::hypot(up.x - down->x, up.y - down->y) > tapSlop) return;
    const auto index = characterIndexAt(up);
    if (index && characterIndexAt(*down) == index) activateLink(*index);
}

Size TextView::sizeThatFits(Size size) const {
    const double horizontal = inset_.left + inset_.right + 2 * padding_;
    TextLayoutOptions options = layoutOptions();
    if (size.width > 0) options.maxWidth = std::max(0.0, size.width - horizontal);
    const Size text = text_.length() == 0 ? Size::zero() : measureText(text_, options).size;
    return {std::ceil(text.width + horizontal), std::ceil(text.height + inset_.top + inset_.bottom)};
}

void TextView::layoutSubviews() {
    View::layoutSubviews();
    const Rect b = bounds();
    textLayer_->setFrame(Rect{b.origin.x + inset_.left + padding_, b.origin.y + inset_.top,
                              std::max(0.0, b.size.width - inset_.left - inset_.right - 2 * padding_),
                              std::max(0.0, b.size.height - inset_.top - inset_.bottom)});
}

}  // namespace platform::ui
