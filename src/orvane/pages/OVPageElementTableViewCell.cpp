#include "orvane/pages/OVPageElementTableViewCell.hpp"

#include <algorithm>

#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::EdgeInsets;
using platform::graphics::Rect;
using platform::ui::View;

OVPageElementTableViewCell::OVPageElementTableViewCell(ConstructorKey key, const Rect& frame)
    : TableViewCell(key, frame) {
    setSelectionStyle(platform::ui::TableViewCellSelectionStyle::none);
    contentView()->setLayoutMargins(EdgeInsets{OVConstants::OVPageElementTableViewCell::topMargin,
                                               OVConstants::OVPageElementTableViewCell::horizontalMargin, 0,
                                               OVConstants::OVPageElementTableViewCell::horizontalMargin});
}

void OVPageElementTableViewCell::setTopMargin(double margin) {
    EdgeInsets m = contentView()->layoutMargins();
    m.top = margin;
    contentView()->setLayoutMargins(m);
}

void OVPageElementTableViewCell::setBottomMargin(double margin) {
    EdgeInsets m = contentView()->layoutMargins();
    m.bottom = margin;
    contentView()->setLayoutMargins(m);
}

void OVPageElementTableViewCell::update(const OVTheme& /*theme*/, const platform::graphics::Color& /*mainColor*/) {}

void OVPageElementTableViewCell::displaySeparator(const Separator::Configuration& configuration) {
    if (separatorIsHidden_) return;
    auto& slot = configuration.position == Separator::Position::top ? topSeparator_ : bottomSeparator_;
    if (!slot) {
        auto view = View::create();
        view->setUserInteractionEnabled(false);
        // On the cell itself, above its content view.
        addSubview(view);
        slot = Line{std::move(view), configuration};
    }
    slot->configuration = configuration;
    slot->view->setBackgroundColor(configuration.color);
    frameLine(*slot);
    setNeedsLayout();
}

void OVPageElementTableViewCell::frameLine(const Line& line) {
    const auto& c = line.configuration;
    const Rect b = bounds();
    const double y = c.position == Separator::Position::top ? 0 : b.size.height - c.height;
    line.view->setFrame(Rect{c.leftInset, y, std::max(0.0, b.size.width + c.rightInset - c.leftInset), c.height});
}

void OVPageElementTableViewCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    if (topSeparator_) frameLine(*topSeparator_);
    if (bottomSeparator_) frameLine(*bottomSeparator_);
}

}  // namespace orvane
