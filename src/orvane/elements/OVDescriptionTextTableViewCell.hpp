// The description element's row of the main, podcast and episode pages: a
// header and a description's HTML text, either collapsed to 65 points under
// a horizontal fade with a read-more button (longer texts; only the lines
// that fit whole are drawn), or developed to the text's full measured
// height. Every change of height runs inside one
// batch of updates of the page's table, so the row is re-measured; a cell
// whose element has no page never changes its height. A tap on read-more
// reports the legacy `seeMore` event, then asks the delegate (the page) to
// develop the element; the cell never develops itself. Links in the text
// open through the application, http and https only: any other scheme is
// refused with one debug line.
//
// Forwards each input to its interactor, which hands view models back. Made
// only by its nib (`nib`, registered under `ReuseIdentifier` with the other
// element nibs), once per element. Main thread only; owned by its element,
// it owns its interactor and its views.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/elements/OVDescriptionCellInput.hpp"
#include "orvane/elements/OVDescriptionCellInputInteractorInput.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCellDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/pages/OVPodcastUpdatable.hpp"
#include "orvane/toolkit/OVTextView.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/GradientLayer.hpp"

namespace orvane {

class OVDescriptionTextTableViewCell : public OVPageElementTableViewCell,
                                       public OVDescriptionCellInput,
                                       public OVPodcastUpdatable,
                                       public platform::ui::TextViewDelegate {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVDescriptionTextTableViewCell";
    // The height of a collapsed text.
    static constexpr double collapsedHeight = 65;
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVDescriptionTextTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVDescriptionTextTableViewCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVDescriptionTextTableViewCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // ---- Called by the pages; each forwards to the interactor ----
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    // Without a main colour the read-more title is black.
    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor);
    // Dropped before the first theme, and when it has no text.
    void update(const OVObjDescription& withDescription);
    // Measures the current text and collapses or develops it (see the top).
    void update(bool textIsDeveloped);
    // The podcast's description, when it has one.
    void update(const OVContent& withPodcast) override;

    // ---- OVDescriptionCellInput ----
    void update(const OVDescriptionCellModel::Style& withViewModel) override;
    void update(const OVDescriptionCellModel::Data& withViewModel) override;
    void update(const OVDescriptionCellModel::TextIsDeveloped& withViewModel) override;

    // The read-more button's action.
    void seeMore();

    // ---- TextViewDelegate: only http and https links open ----
    bool shouldInteractWithURL(platform::ui::TextView& textView, const std::string& url,
                               platform::ui::TextRange range) override;

    void awakeFromNib() override;

    // The views, for the pages and the tests.
    const std::shared_ptr<platform::ui::Label>& headerLabel() const { return headerLabel_; }
    const std::shared_ptr<OVTextView>& textView() const { return textView_; }
    const platform::ui::LayoutConstraintPtr& textViewHeightConstraint() const { return textViewHeightConstraint_; }
    const std::shared_ptr<platform::ui::View>& alphaGradientView() const { return alphaGradientView_; }
    const std::shared_ptr<platform::ui::Button>& expandTextButton() const { return expandTextButton_; }
    // The fade's one gradient layer; none before the first theme.
    const std::shared_ptr<platform::ui::GradientLayer>& gradientLayer() const { return gradientLayer_; }

private:
    void initializeUI();
    // A horizontal fade over the fade view, transparent on the left.
    void setGradient(const platform::graphics::Color& forThemeColor);
    // How many whole lines of the text fit in `height` at `width` (one at least).
    int wholeLinesWithin(double height, double width);

    std::shared_ptr<OVDescriptionCellInputInteractorInput> interactor_;
    std::weak_ptr<OVDescriptionTextTableViewCellDelegate> delegate_;
    std::shared_ptr<platform::ui::Label> headerLabel_;
    std::shared_ptr<OVTextView> textView_;
    platform::ui::LayoutConstraintPtr textViewHeightConstraint_;
    std::shared_ptr<platform::ui::View> alphaGradientView_;
    std::shared_ptr<platform::ui::Button> expandTextButton_;
    std::shared_ptr<platform::ui::GradientLayer> gradientLayer_;
};

}  // namespace orvane
