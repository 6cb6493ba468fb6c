#include "platform/ui/lists/TableViewHeaderFooterView.hpp"

#include <algorithm>

namespace platform::ui {

std::shared_ptr<TableViewHeaderFooterView> TableViewHeaderFooterView::create(const std::string& reuseIdentifier) {
    auto view = std::make_shared<TableViewHeaderFooterView>(ConstructorKey{}, Rect{0, 0, 320, 28});
    view->setReuseIdentifier(reuseIdentifier);
    return view;
}

TableViewHeaderFooterView::TableViewHeaderFooterView(ConstructorKey key, const Rect& frame) : View(key, frame) {
    setLayoutMargins({0, 16, 0, 16});
}

const std::shared_ptr<Label>& TableViewHeaderFooterView::textLabel() {
    if (!textLabel_) {
        textLabel_ = Label::create();
        addSubview(textLabel_);
        setNeedsLayout();
    }
    return textLabel_;
}

void TableViewHeaderFooterView::prepareForReuse() {
    if (textLabel_) textLabel_->setText(std::nullopt);
}

void TableViewHeaderFooterView::layoutSubviews() {
    View::layoutSubviews();
    if (!textLabel_) return;
    const Rect b = bounds();
    const EdgeInsets m = layoutMargins();
    textLabel_->setFrame(Rect{b.origin.x + m.left, b.origin.y + m.top, std::max(0.0, b.size.width - m.left - m.right),
                              std::max(0.0, b.size.height - m.top - m.bottom)});
}

}  // namespace platform::ui
