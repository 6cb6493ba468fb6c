// The colours a side page (library, discover) dresses its rows in while no
// one has given it any: those of the widget's last state, else the content
// configuration's theme with plain blue. Their element cells show no rows
// until they have a theme and a main colour. Main thread only.
#pragma once

#include "orvane/model/OVMockData.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

struct OVPageLook {
    OVTheme theme;
    platform::graphics::Color mainColor;

    static OVPageLook current() {
        if (const auto& state = OVWidgetManager::shared().lastState()) return {state->theme(), state->mainColor()};
        return {OVMock::Data::shared().theme().value_or(OVTheme::light), platform::graphics::Color::plainBlue()};
    }
};

}  // namespace orvane
