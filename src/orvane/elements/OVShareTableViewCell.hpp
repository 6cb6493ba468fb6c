// The share element's row: a link button titled by the content's "seemore"
// call to action, and a podcast-platform button shown when a call to action
// gives an Apple Podcasts address. Each button shows exactly while its call
// to action allows it, and is hidden otherwise. The taps go to the view
// model, which opens the address and sends the legacy event. Its delegate
// is declared for the cell's owner (the pages' coordinator protocol adopts
// it); the element neither sets nor calls it. No page places the row yet.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "orvane/elements/OVShareCellViewModel.hpp"
#include "orvane/elements/OVShareTableViewCellDelegate.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"

namespace orvane {

class OVShareTableViewCell : public OVPageElementTableViewCell {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVShareTableViewCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVShareTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVShareTableViewCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVShareTableViewCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // The row's one data entry: the content view in the theme's background,
    // the link button in the main colour, then the calls to action, which
    // decide what each button shows.
    void initialize(const OVTheme& theme, const platform::graphics::Color& mainColor,
                    std::vector<OVCallToAction> ctas);

    // The outlets, for those who show or drive the row.
    const std::shared_ptr<platform::ui::Button>& sendUpButton() const { return sendUpButton_; }
    const std::shared_ptr<platform::ui::Button>& applePodcastsButton() const { return applePodcastsButton_; }

    void awakeFromNib() override;

private:
    void initializeUI();
    void didTapSendUpButton();
    void didTapApplePodcastsButton();
    // The button rules, run with every new list.
    void showButtons(const std::vector<OVCallToAction>& ctas);

    std::unique_ptr<OVShareCellViewModel> viewModel_ = std::make_unique<OVShareCellViewModel>();
    std::weak_ptr<OVShareTableViewCellDelegate> delegate_;
    std::shared_ptr<platform::ui::Button> sendUpButton_;
    std::shared_ptr<platform::ui::Button> applePodcastsButton_;
};

}  // namespace orvane
