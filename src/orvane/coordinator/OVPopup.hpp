// The popup: a short message in a small black box, 340 points wide with
// corners of 2 points, that the root container shows above its footer
// player for a moment to confirm a page's action (an episode saved, a
// subscription). The message is a non-editable, non-scrolling text view
// inset 8 points in the box; its height is the text's at 324 points wide,
// and the box follows it.
//
// Made only from its nib "OVPopup" (`make()`; the builder `nib` is
// registered by `registerNib()` from `installLayerHooks()`). Styled and given
// its text through `update`, which hand the values to its interactor, which
// hands records back. Placed by its presenter with constraints. Main thread
// only; the popup owns its interactor, which holds it weakly.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/coordinator/OVPopupInput.hpp"
#include "orvane/coordinator/OVPopupModelInteractorInput.hpp"
#include "orvane/model/OVTheme.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/AttributedString.hpp"
#include "platform/ui/text/TextView.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVPopup : public platform::ui::View, public OVPopupInput {
public:
    static constexpr std::string_view NibName = "OVPopup";
    static constexpr double width = 340;
    static constexpr double cornerRadius = 2;
    // The width at which the text is measured: the box less its insets.
    static constexpr double textWidth = 324;
    static constexpr double textViewInset = 8;

    // The nib's builder, and its registration under `NibName`.
    static bool nib(platform::ui::NibBuild& build);
    static void registerNib();

    // The nib's first object when it is a popup, else none.
    static std::shared_ptr<OVPopup> make();

    explicit OVPopup(ConstructorKey key, const platform::graphics::Rect& frame = {});
    ~OVPopup() override;

    // Handed to the interactor.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor);
    void update(const platform::ui::AttributedString& withAttributedString);

    // ---- OVPopupInput ----
    void update(const OVPopupModel::Style& viewModel) override;
    void update(const OVPopupModel::Text& viewModel) override;

    void awakeFromNib() override;

    // The outlet and the text's height constraint, for those who show it.
    std::shared_ptr<platform::ui::TextView> textView() const { return textView_.lock(); }
    const platform::ui::LayoutConstraintPtr& heightConstraint() const { return heightConstraint_; }

private:
    void setConstraints();
    void setHeightToFit();

    // Owned by the view tree.
    std::weak_ptr<platform::ui::TextView> textView_;
    std::shared_ptr<OVPopupModelInteractorInput> interactor_;
    platform::ui::LayoutConstraintPtr heightConstraint_;
};

}  // namespace orvane
