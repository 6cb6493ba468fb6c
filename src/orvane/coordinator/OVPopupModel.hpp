// The records the popup's interactor computes and the popup applies: its
// colours (`Style`) and its message (`Text`). Plain values.
#pragma once

#include "platform/graphics/Color.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

struct OVPopupModel {
    struct Style {
        platform::graphics::Color backgroundColor;
        platform::graphics::Color textColor;
    };
    struct Text {
        platform::ui::AttributedString attributedString;
    };
};

}  // namespace orvane
