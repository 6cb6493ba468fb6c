// The episode page's play button, or, while the shown episode is the
// player's current track and loads or plays, a bordered label telling so in
// the button's place. The button offers "play" for another episode and
// "restart" for the current one paused; its taps go to the delegate (the
// episode page), whatever its title.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element; `awakeFromNib` makes the
// interactor, which the cell owns. Main thread only; owned by its element.
#pragma once

#include <memory>
#include <optional>
#include <string_view>

#include "orvane/elements/OVEpisodePlayCellDelegate.hpp"
#include "orvane/elements/OVEpisodePlayCellInteractor.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVEpisodePlayCell : public OVPageElementTableViewCell, public OVEpisodePlayCellInput {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVEpisodePlayCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVEpisodePlayCell(ConstructorKey key, const platform::graphics::Rect& frame);

    // Outlets.
    const std::shared_ptr<platform::ui::Button>& playButton() const { return playButton_; }
    const std::shared_ptr<platform::ui::Label>& infoLabel() const { return infoLabel_; }

    std::shared_ptr<OVEpisodePlayCellDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVEpisodePlayCellDelegate> delegate) { delegate_ = std::move(delegate); }

    // The play button's action: tells the delegate, if any.
    virtual void didTapPlayButton();

    // The page's calls, forwarded to the interactor.
    virtual void update(bool isCurrentTrack);
    virtual void update(OVAudioPlayerStatus audioStatus);
    // The theme hook; without a main colour the button is blue.
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    void update(const OVTheme& theme, const std::optional<platform::graphics::Color>& mainColor);

    // ---- OVEpisodePlayCellInput ----
    void update(const OVEpisodePlayCellModel::Style& viewModel) override;
    void update(const OVEpisodePlayCellModel::Status& viewModel) override;

    void awakeFromNib() override;

private:
    std::shared_ptr<platform::ui::Button> playButton_;
    std::shared_ptr<platform::ui::Label> infoLabel_;
    std::shared_ptr<OVEpisodePlayCellInteractorInput> interactor_;
    std::weak_ptr<OVEpisodePlayCellDelegate> delegate_;
};

}  // namespace orvane
