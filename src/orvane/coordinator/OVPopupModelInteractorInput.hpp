// What the popup's interactor offers the popup: its theme and main colour,
// and its message. Main thread only; owned by the popup.
#pragma once

#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/text/AttributedString.hpp"

namespace orvane {

class OVPopupModelInteractorInput {
public:
    virtual ~OVPopupModelInteractorInput() = default;
    virtual void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) = 0;
    virtual void update(const platform::ui::AttributedString& withAttributedString) = 0;
};

}  // namespace orvane
