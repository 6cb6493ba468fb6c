#include "platform/ui/lists/TableViewCell.hpp"

#include <algorithm>

#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/Window.hpp"

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

void TableViewCell::pinContentViewIfConstrained() {
    ensureParts();
    if (contentHeight_ || contentView_->constraints().empty()) return;
    // The solver places the content view over the cell; its height gives
    // way (just below required) to content that needs more or less room.
    contentView_->setTranslatesAutoresizingMaskIntoConstraints(false);
    contentHeight_ = contentView_->heightAnchor().constraintEqualTo(heightAnchor());
    contentHeight_->setPriority(LayoutPriority::required - 1);
    LayoutConstraint::activate({contentView_->leftAnchor().constraintEqualTo(leftAnchor()),
                                contentView_->topAnchor().constraintEqualTo(topAnchor()),
                                contentView_->widthAnchor().constraintEqualTo(widthAnchor()), contentHeight_});
}

double TableViewCell::heightThatFits(double width) {
    pinContentViewIfConstrained();
    // A cell whose content has no constraints keeps its own height.
    if (!contentHeight_ || !window()) return bounds().size.height;
    if (bounds().size.width != width) setFrame(Rect{frame().origin, Size{width, bounds().size.height}});
    // The content view as short as its content allows at this width.
    contentHeight_->setActive(false);
    auto fitting = contentView_->heightAnchor().constraintEqualToConstant(0);
    fitting->setPriority(LayoutPriority::fittingSizeLevel);
    fitting->setActive(true);
    layoutIfNeeded();
    const double height = contentView_->frame().height();
    fitting->setActive(false);
    contentHeight_->setActive(true);
    return height;
}

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
    if (contentView_->translatesAutoresizingMaskIntoConstraints()) contentView_->setFrame(b);
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
