// A view that shows text: plain text in one font and colour, or attributed
// text; alignment, a line limit (1 by default, 0 for none) and a line-break
// mode (tail truncation by default). The text is centred vertically in the
// bounds and clipped to them; its intrinsic size is the measured size of the
// text (rounded up to whole points), so constraints can hug it.
// Main thread only.
#pragma once

#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/TextLayer.hpp"
#include "platform/ui/views/View.hpp"

#include <optional>
#include <string>

namespace platform::ui {

class Label : public View {
public:
    static std::shared_ptr<Label> create(const Rect& frame = {});
    Label(ConstructorKey key, const Rect& frame);

    // Setting the text replaces any attributed text; none clears both.
    std::optional<std::string> text() const;
    void setText(std::optional<std::string> text);
    // The text with its attributes (plain text gets the label's font, colour
    // and alignment); none when the label has no text.
    std::optional<AttributedString> attributedText() const;
    void setAttributedText(std::optional<AttributedString> text);

    // Setting these also applies them to the whole attributed text.
    const Font& font() const { return font_; }
    void setFont(std::optional<Font> font);  // none: the system font at 17 points
    const Color& textColor() const { return textColor_; }
    void setTextColor(std::optional<Color> color);  // none: black
    TextAlignment textAlignment() const { return alignment_; }
    void setTextAlignment(TextAlignment alignment);

    int numberOfLines() const { return numberOfLines_; }
    void setNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(LineBreakMode mode);
    // The width at which a multi-line label wraps for its intrinsic size (0:
    // none, one line per paragraph).
    double preferredMaxLayoutWidth() const { return preferredMaxLayoutWidth_; }
    void setPreferredMaxLayoutWidth(double width);

    Size intrinsicContentSize() const override;
    // The size the text needs within `size` (its width limits the lines).
    Size sizeThatFits(Size size) const;

    void layoutSubviews() override;

private:
    TextLayoutOptions layoutOptions() const;
    void update();

    std::shared_ptr<TextLayer> textLayer_;
    std::optional<AttributedString> text_;
    bool plain_ = true;  // text_ was made from plain text
    Font font_;
    Color textColor_ = Color::black();
    TextAlignment alignment_ = TextAlignment::natural;
    int numberOfLines_ = 1;
    LineBreakMode lineBreakMode_ = LineBreakMode::byTruncatingTail;
    double preferredMaxLayoutWidth_ = 0;
};

}  // namespace platform::ui
