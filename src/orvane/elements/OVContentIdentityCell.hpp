// The identity header of the podcast and episode pages: the artwork, a
// title in a marquee label and a subtitle drawn as a button. For a podcast:
// its name and its owner; for an episode: its title and its podcast's name.
// A tap on the subtitle tells the delegate (the episode page, which opens
// the podcast's page); without a delegate it does nothing. The podcast page
// gives the title label its `textMaxLength`; the episode page turns the
// subtitle's user interaction on or off.
//
// Forwards each input to its interactor, which hands view models back. Made
// only by its nib (`nib`, registered under `ReuseIdentifier` with the other
// element nibs), once per element. Main thread only; owned by its element,
// it owns its interactor and its views.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/elements/OVContentIdentityCellDelegate.hpp"
#include "orvane/elements/OVContentIdentityCellInput.hpp"
#include "orvane/elements/OVContentIdentityCellInteractorInput.hpp"
#include "orvane/pages/OVEpisodeUpdatable.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/pages/OVPodcastUpdatable.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "orvane/toolkit/OVScrollingLabel.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"

namespace orvane {

class OVContentIdentityCell : public OVPageElementTableViewCell,
                              public OVContentIdentityCellInput,
                              public OVPodcastUpdatable,
                              public OVEpisodeUpdatable {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVContentIdentityCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVContentIdentityCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVContentIdentityCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVContentIdentityCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // ---- Called by the pages; each forwards to the interactor ----
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    void update(const OVTheme& withTheme, const std::optional<platform::graphics::Color>& andMainColor);
    void update(const OVContent& withPodcast) override;
    void update(const std::shared_ptr<OVTrack>& forEpisode, const OVContent& inPodcast) override;

    // ---- OVContentIdentityCellInput ----
    void update(const OVContentIdentityCellModel::Style& withViewModel) override;
    void update(const OVContentIdentityCellModel::ContentData& withViewModel) override;

    // The subtitle button's action.
    void didTapSubtitle();

    void awakeFromNib() override;

    // The views the pages reach, and the artwork for the tests.
    const std::shared_ptr<OVScrollingLabel>& titleLabel() const { return titleLabel_; }
    const std::shared_ptr<platform::ui::Button>& subTitleLabel() const { return subTitleLabel_; }
    const std::shared_ptr<OVImageView>& imageView() const { return stImageView_; }

private:
    std::shared_ptr<OVImageView> stImageView_;
    std::shared_ptr<OVScrollingLabel> titleLabel_;
    std::shared_ptr<platform::ui::Button> subTitleLabel_;
    std::shared_ptr<OVContentIdentityCellInteractorInput> interactor_;
    std::weak_ptr<OVContentIdentityCellDelegate> delegate_;
};

}  // namespace orvane
