// A layer that draws attributed text with Pango through PangoCairo: laid out
// as wide as its bounds, with a line limit, line-break mode and alignment,
// optionally centred vertically (as a label shows its text), clipped to its
// bounds. Used by `Label`; drawn by the Renderer like any layer.
// Main thread only.
#pragma once

#include "platform/ui/text/AttributedString.hpp"
#include "platform/ui/text/TextLayout.hpp"
#include "platform/ui/views/Layer.hpp"

namespace platform::ui {

class TextLayer : public Layer {
public:
    static std::shared_ptr<TextLayer> create();
    explicit TextLayer(ConstructorKey key) : Layer(key) {}

    const AttributedString& text() const { return text_; }
    void setText(AttributedString text) { update(text_, std::move(text)); }
    // Line limit, line-break mode, alignment and the font and colour of runs
    // without their own (the width limit is the bounds' width).
    const TextLayoutOptions& options() const { return options_; }
    void setOptions(const TextLayoutOptions& options) { update(options_, options); }
    bool centersVertically() const { return centersVertically_; }
    void setCentersVertically(bool centers) { update(centersVertically_, centers); }

    void drawContents(cairo_t* cr) const override;

private:
    AttributedString text_;
    TextLayoutOptions options_;
    bool centersVertically_ = false;
};

}  // namespace platform::ui
