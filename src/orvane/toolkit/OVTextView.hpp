// A text view that never has a selection: the description element's cell
// shows its description text in one. Reading the selected range always gives
// none and setting it does nothing. Main thread only.
#pragma once

#include <memory>

#include "platform/ui/text/TextView.hpp"

namespace orvane {

class OVTextView : public platform::ui::TextView {
public:
    static std::shared_ptr<OVTextView> create(const platform::graphics::Rect& frame = {});
    OVTextView(ConstructorKey key, const platform::graphics::Rect& frame) : TextView(key, frame) {}

    std::optional<platform::ui::TextRange> selectedTextRange() const override { return std::nullopt; }
    void setSelectedTextRange(std::optional<platform::ui::TextRange> /*range*/) override {}
};

}  // namespace orvane
