#include "platform/ui/TableViewCell.hpp"

#include <algorithm>

#include "platform/ui/Window.hpp"

namespace platform::ui {

namespace {
const Color highlightColor = Color::fromWhite(0.85);
}

std::shared_ptr<TableViewCell> TableViewCell::create(const std::string& reuseIdentifier) {
    auto cell = std::make_shared<TableViewCell>(ConstructorKey{}, Rect{0, 0, 320, 44});
    cell->setReuseIdentifier(reuseIdentifier);
    cell->ensureParts();
    return cell;
}

TableViewCell::TableViewCell(ConstructorKey key, const Rect& frame)
    : View(key, frame),
      selectedBackground_(View::create(Rect{Point{}, frame.size})),
      contentView_(View::create(Rect{Point{}, frame.size})) {
    setBackgroundColor(Color::white());
    setClipsToBounds(true);
    selectedBackground_->setBackgroundColor(highlightColor);
    selectedBackground_->setHidden(true);
    selectedBackground_->setUserInteractionEnabled(false);
}

void TableViewCell::ensureParts() {
    // The parts join the cell once it is owned (not yet in its constructor).
    if (partsAdded_ || weak_from_this().expired()) return;
    partsAdded_ = true;
    insertSubview(selectedBackground_, 0);
    insertSubview(contentView_, 1);
    setNeedsLayout();
}

const std::shared_ptr<View>& TableViewCell::contentView() {
    ensureParts();
    return contentView_;
}

const std::shared_ptr<Label>& TableViewCell::textLabel() {
    if (!textLabel_) {
        textLabel_ = Label::create();
        contentView()->addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_;
}

void TableViewCell::setSelectionStyle(TableViewCellSelectionStyle style) {
    selectionStyle_ = style;
    updateHighlight();
}

void TableViewCell::setSelected(bool selected, bool /*animated*/) {
    selected_ = selected;
    updateHighlight();
}

void TableViewCell::updateHighlight() {
    selectedBackground_->setHidden(!selected_ || selectionStyle_ == TableViewCellSelectionStyle::none);
}

double TableViewCell::heightThatFits(double /*width*/) { return bounds().size.height; }

void TableViewCell::prepareForReuse() { setSelected(false); }

void TableViewCell::setSeparator(bool shown, const Color& color, const EdgeInsets& inset) {
    if (!separator_) {
        if (!shown) return;
        separator_ = View::create();
        separator_->setUserInteractionEnabled(false);
        addSubview(separator_);
    }
    separator_->setHidden(!shown);
    separator_->setBackgroundColor(color);
    bringSubviewToFront(separator_);
    if (separatorInset_ != inset) {
        separatorInset_ = inset;
        setNeedsLayout();
    }
    layoutSubviews();
}

void TableViewCell::layoutSubviews() {
    ensureParts();
    const Rect b{Point{}, bounds().size};
    selectedBackground_->setFrame(b);
    contentView_->setFrame(b);
    if (textLabel_) textLabel_->setFrame(Rect{Point{}, b.size}.inset(contentView_->layoutMargins()));
    if (separator_) {
        // One pixel of the window's scale (a point without a window).
        double line = 1;
        if (auto w = window()) line = 1 / w->scale();
        separator_->setFrame(Rect{separatorInset_.left, b.size.height - line,
                                  std::max(0.0, b.size.width - separatorInset_.left - separatorInset_.right), line});
    }
}

}  // namespace platform::ui
