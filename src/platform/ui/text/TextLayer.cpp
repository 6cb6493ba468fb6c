#include "platform/ui/text/TextLayer.hpp"

#include <algorithm>

namespace platform::ui {

std::shared_ptr<TextLayer> TextLayer::create() { return std::make_shared<TextLayer>(ConstructorKey{}); }

void TextLayer::drawContents(cairo_t* cr) const {
    const Rect bounds = presentedBounds().standardized();
    if (text_.length() == 0 || bounds.size.width <= 0 || bounds.size.height <= 0) return;
    Rect area = bounds;
    if (centersVertically_) {
        TextLayoutOptions measuring = options_;
        measuring.maxWidth = bounds.size.width;
        const double height = measureText(text_, measuring).size.height;
        if (height < bounds.size.height) {
            area.origin.y += (bounds.size.height - height) / 2;
            area.size.height = height;
        }
    }
    drawText(cr, text_, area, options_);
}

}  // namespace platform::ui
