// A view that shows attributed text from its top-left corner, inside
// container insets (8 points above and below by default) and a line padding
// at both ends of each line (5 points), wrapped to its width, with an
// optional line limit and line-break mode. Selectable and editable flags are
// kept for callers (this kit has no text editing), and so is the selected
// range, which subclasses may override. A tap on a link of a selectable
// text view opens it (through the application unless another opener is set)
// only when the delegate, asked first, agrees. Main thread only.
#pragma once

#include "platform/ui/input/Touch.hpp"
#include "platform/ui/text/TextLayer.hpp"
#include "platform/ui/views/View.hpp"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace platform::ui {

class TextView;

class TextViewDelegate {
public:
    virtual ~TextViewDelegate() = default;
    // Asked before a link is opened; true lets it open.
    virtual bool shouldInteractWithURL(TextView& /*textView*/, const std::string& /*url*/, TextRange /*range*/) {
        return true;
    }
};

class TextView : public View {
public:
    static std::shared_ptr<TextView> create(const Rect& frame = {});
    TextView(ConstructorKey key, const Rect& frame);

    const AttributedString& attributedText() const { return text_; }
    void setAttributedText(AttributedString text);
    std::string text() const { return text_.string(); }
    // Plain text in the view's font and colour.
    void setText(std::string text);
    const Font& font() const { return font_; }
    void setFont(std::optional<Font> font);  // none: the system font at 12 points
    const Color& textColor() const { return textColor_; }
    void setTextColor(std::optional<Color> color);  // none: black

    const EdgeInsets& textContainerInset() const { return inset_; }
    void setTextContainerInset(const EdgeInsets& inset);
    double lineFragmentPadding() const { return padding_; }
    void setLineFragmentPadding(double padding);
    int maximumNumberOfLines() const { return maximumLines_; }
    void setMaximumNumberOfLines(int lines);
    LineBreakMode lineBreakMode() const { return lineBreakMode_; }
    void setLineBreakMode(LineBreakMode mode);

    bool isSelectable() const { return selectable_; }
    void setSelectable(bool selectable) { selectable_ = selectable; }
    bool isEditable() const { return editable_; }
    void setEditable(bool editable) { editable_ = editable; }
    virtual std::optional<TextRange> selectedTextRange() const { return selected_; }
    virtual void setSelectedTextRange(std::optional<TextRange> range) { selected_ = range; }

    std::shared_ptr<TextViewDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<TextViewDelegate>& delegate) { delegate_ = delegate; }
    // Where an opened link goes: by default the application opens it; an
    // empty opener drops it.
    void setLinkOpener(std::function<void(const std::string&)> opener) { linkOpener_ = std::move(opener); }
    // A tap on the character at `index`: when it carries a link, the delegate
    // is asked, then the link opened. True when a link was opened.
    bool activateLink(std::size_t index);
    // The character under a point of the view; none between or past lines.
    std::optional<std::size_t> characterIndexAt(Point point) const;

    // How far a touch may move between down and up and still be a tap.
    static constexpr double tapSlop = 10;
    void touchesBegan(const Touch& touch) override;
    void touchesEnded(const Touch& touch) override;
    void touchesCancelled(const Touch& touch) override;

    // The text's size within `size`'s width, insets and padding included.
    Size sizeThatFits(Size size) const;
    void layoutSubviews() override;

private:
    TextLayoutOptions layoutOptions() const;
    void update();

    std::shared_ptr<TextLayer> textLayer_;
    AttributedString text_;
    Font font_;
    Color textColor_ = Color::black();
    EdgeInsets inset_{8, 0, 8, 0};
    double padding_ = 5;
    int maximumLines_ = 0;
    LineBreakMode lineBreakMode_ = LineBreakMode::byWordWrapping;
    bool selectable_ = true;
    bool editable_ = true;
    std::optional<TextRange> selected_;
    std::weak_ptr<TextViewDelegate> delegate_;
    std::function<void(const std::string&)> linkOpener_;
    std::optional<Point> touchDown_;  // where the touch on the view went down
};

}  // namespace platform::ui
