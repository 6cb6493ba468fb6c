// The view models of the description element: what its interactor computes
// and its cell applies. Plain values; main thread, as the element.
#pragma once

#include <optional>

#include "platform/graphics/Color.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

struct OVDescriptionCellModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color mainColor;  // the read-more title
        platform::graphics::Color titleTextColor;
        platform::graphics::Color textViewTextColor;
        platform::graphics::Color separatorColor;
    };
    struct Data {
        std::optional<platform::ui::AttributedString> title;  // none clears the header
        std::optional<platform::ui::AttributedString> text;   // none clears the text
    };
    struct TextIsDeveloped {
        bool value = false;
    };
};

}  // namespace orvane
