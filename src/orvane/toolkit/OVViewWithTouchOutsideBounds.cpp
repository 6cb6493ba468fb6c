#include "orvane/toolkit/OVViewWithTouchOutsideBounds.hpp"

namespace orvane {

using platform::graphics::Point;
using platform::ui::View;

std::shared_ptr<OVViewWithTouchOutsideBounds> OVViewWithTouchOutsideBounds::create(const platform::graphics::Rect& frame) {
    return std::make_shared<OVViewWithTouchOutsideBounds>(ConstructorKey{}, frame);
}

void OVViewWithTouchOutsideBounds::addTouchView(std::shared_ptr<View> view) {
    if (view) touchViews_.push_back(std::move(view));
}

std::shared_ptr<View> OVViewWithTouchOutsideBounds::hitTest(Point point) {
    // A copy: a touch view's hit test may register more touch views.
    for (const auto& touchView : std::vector(touchViews_)) {
        if (auto hit = touchView->hitTest(touchView->convertPointFrom(point, this))) return hit;
    }
    return View::hitTest(point);
}

}  // namespace orvane
