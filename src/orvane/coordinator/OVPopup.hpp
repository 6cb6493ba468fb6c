// The popup: a short message in a small black box that the root container
// shows above its footer player for a moment, to confirm a page's action.
//
// Made only from its nib "OVPopup" (`make()`). Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/text/AttributedString.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVPopup : public platform::ui::View {
public:
    // The nib's first object when it is a popup, else none.
    static std::shared_ptr<OVPopup> make();

    explicit OVPopup(ConstructorKey key, const platform::graphics::Rect& frame = {});
    ~OVPopup() override;

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const platform::ui::AttributedString& withAttributedString);
};

}  // namespace orvane
