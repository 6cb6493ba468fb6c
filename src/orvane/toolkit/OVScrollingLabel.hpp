// One line of text that stands still, centred, while it is no wider than a
// width its owner gives (`textMaxLength`), and otherwise scrolls endlessly
// from right to left as a marquee: two copies of the text, `space` points
// apart, sit on a strip (the scrolling container) that slides left by one
// text width plus the gap per cycle, linearly, then jumps back, so that the
// second copy takes the first copy's place. The episode title of the player
// element's cell and the title of the content header cell are such labels.
//
// Everything is placed by constraints: the container is as high as the label,
// centred vertically, and either centred horizontally (still) or held at a
// left offset (scrolling); each copy is `textWidth` + 1 wide, the second one
// `space` beyond the first. The label and the container clip what they hold.
// The slide is one repeating layout animation of the container; no work per
// frame, and the text is measured only when `text` or `textMaxLength` is set.
// A `speed` of 0 or less does not slide: the strip stays flush left.
//
// Placed from nibs: `create` is what the nib builder calls. The container and
// the copies are made only here, in code. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/toolkit/OVAnimationView.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Font.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVScrollingLabel : public platform::ui::View, public OVAnimationView {
public:
    class SubLabel;
    class ScrollingContainer;

    // The gap between the end of one copy of the text and the next.
    static constexpr double space = 18.0;

    static std::shared_ptr<OVScrollingLabel> create(const platform::graphics::Rect& frame = {});
    OVScrollingLabel(ConstructorKey key, const platform::graphics::Rect& frame);

    const std::shared_ptr<ScrollingContainer>& scrollingContainer() const { return scrollingContainer_; }
    // The container's two copies, in order.
    const std::vector<std::shared_ptr<SubLabel>>& sublabels() const;

    // Each set goes to both copies, in order; none of these re-measures.
    const std::optional<platform::ui::Font>& font() const { return font_; }
    void setFont(std::optional<platform::ui::Font> font);
    const std::optional<platform::graphics::Color>& textColor() const { return textColor_; }
    void setTextColor(std::optional<platform::graphics::Color> color);
    // Points per second of half a cycle's travel (see `startAnimation`).
    double speed() const { return speed_; }
    void setSpeed(double speed) { speed_ = speed; }

    // Each set goes to both copies (none clears them), then the display is
    // updated, also for an unchanged text.
    const std::optional<std::string>& text() const { return text_; }
    void setText(std::optional<std::string> text);
    // The widest text that still stands still; each set updates the display.
    const std::optional<double>& textMaxLength() const { return textMaxLength_; }
    void setTextMaxLength(std::optional<double> length);

    // The width of the text as last measured.
    double textWidth() const { return textWidth_; }
    void setTextWidth(double width) { textWidth_ = width; }

    // Flush left, 2 × `textWidth` + `space` wide, then an endless linear slide
    // of the container from left offset 0 to −(`textWidth` + `space`), one
    // cycle lasting ((bounds width + `textWidth` + `space`) / 2) / `speed`
    // seconds. Does not look at `textMaxLength`.
    void startAnimation() override;
    // Centred and `textWidth` wide; the container's animations are removed.
    void stopAnimation() override;
    // Starts the slide again when the text is meant to scroll but the
    // container's layer carries no animation any more.
    virtual void restartAnimationIfNeeded();

private:
    void build();
    void updateTextDisplay();

    std::shared_ptr<ScrollingContainer> scrollingContainer_;
    std::optional<platform::ui::Font> font_;
    std::optional<platform::graphics::Color> textColor_;
    double speed_ = 15.0;
    std::optional<std::string> text_;
    std::optional<double> textMaxLength_;
    bool animationIsRunning_ = false;  // the last decision of the display update
    double textWidth_ = 0;
};

// The strip that holds the two copies and moves. Its three constraints to the
// label are made by the label; the container only keeps them.
class OVScrollingLabel::ScrollingContainer : public platform::ui::View {
public:
    // Zero frame, clipping, placed by constraints, with its two copies.
    static std::shared_ptr<ScrollingContainer> create();
    explicit ScrollingContainer(ConstructorKey key);

    const platform::ui::LayoutConstraintPtr& widthConstraint() const { return widthConstraint_; }
    void setWidthConstraint(platform::ui::LayoutConstraintPtr constraint) { widthConstraint_ = std::move(constraint); }
    const platform::ui::LayoutConstraintPtr& leftConstraint() const { return leftConstraint_; }
    void setLeftConstraint(platform::ui::LayoutConstraintPtr constraint) { leftConstraint_ = std::move(constraint); }
    const platform::ui::LayoutConstraintPtr& centerXConstraint() const { return centerXConstraint_; }
    void setCenterXConstraint(platform::ui::LayoutConstraintPtr constraint) {
        centerXConstraint_ = std::move(constraint);
    }
    const std::vector<std::shared_ptr<SubLabel>>& labels() const { return labels_; }

private:
    // Adds `label` as high as the container and centred on it vertically,
    // after the last copy (`space` points beyond it) or at the container's left.
    void appendLabel(const std::shared_ptr<SubLabel>& label);

    platform::ui::LayoutConstraintPtr widthConstraint_;
    platform::ui::LayoutConstraintPtr leftConstraint_;
    platform::ui::LayoutConstraintPtr centerXConstraint_;
    std::vector<std::shared_ptr<SubLabel>> labels_;
};

// One copy of the text, as wide as its width constraint says.
class OVScrollingLabel::SubLabel : public platform::ui::Label {
public:
    // Zero frame, placed by constraints, with an active width constraint of 0.
    static std::shared_ptr<SubLabel> create();
    explicit SubLabel(ConstructorKey key);

    // Held weakly: the constraint lives as long as the view it is installed on.
    platform::ui::LayoutConstraintPtr widthConstraint() const { return widthConstraint_.lock(); }
    void setWidthConstraint(const platform::ui::LayoutConstraintPtr& constraint) { widthConstraint_ = constraint; }

private:
    std::weak_ptr<platform::ui::LayoutConstraint> widthConstraint_;
};

}  // namespace orvane
