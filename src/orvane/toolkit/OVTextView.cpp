#include "orvane/toolkit/OVTextView.hpp"

namespace orvane {

std::shared_ptr<OVTextView> OVTextView::create(const platform::graphics::Rect& frame) {
    return std::make_shared<OVTextView>(ConstructorKey{}, frame);
}

}  // namespace orvane
