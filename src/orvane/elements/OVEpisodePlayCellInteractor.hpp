// The episode-play element's interactor: turns the theme, whether the shown
// episode is the player's current track and the player's status into the
// records of `OVEpisodePlayCellModel`. It keeps the last flag and status;
// until both have come once it hands no status. The cell owns it; it holds
// the cell weakly and drops records once the cell is gone. Main thread only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/elements/OVEpisodePlayCellModel.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

// What the interactor hands back: adopted by the cell, which only applies
// each record to its views.
class OVEpisodePlayCellInput {
public:
    virtual ~OVEpisodePlayCellInput() = default;
    virtual void update(const OVEpisodePlayCellModel::Style& viewModel) = 0;
    virtual void update(const OVEpisodePlayCellModel::Status& viewModel) = 0;
};

// What the cell forwards, unchanged.
class OVEpisodePlayCellInteractorInput {
public:
    virtual ~OVEpisodePlayCellInteractorInput() = default;
    virtual void update(const OVTheme& theme, const std::optional<platform::graphics::Color>& mainColor) = 0;
    virtual void update(bool isCurrentTrack) = 0;
    virtual void update(OVAudioPlayerStatus audioStatus) = 0;
};

class OVEpisodePlayCellInteractor final : public OVEpisodePlayCellInteractorInput {
public:
    explicit OVEpisodePlayCellInteractor(std::weak_ptr<OVEpisodePlayCellInput> view) : view_(std::move(view)) {}

    // The button in the main colour (blue without one), the label in the
    // theme's second text colour with a separator-coloured border.
    void update(const OVTheme& theme, const std::optional<platform::graphics::Color>& mainColor) override;
    void update(bool isCurrentTrack) override;
    void update(OVAudioPlayerStatus audioStatus) override;

    // Another episode: "play"; the current one paused: "restart"; the current
    // one loading or playing: the playing label instead of the button.
    static OVEpisodePlayCellModel::Status status(bool isCurrentTrack, OVAudioPlayerStatus audioStatus);

private:
    void updateStatus();

    std::weak_ptr<OVEpisodePlayCellInput> view_;
    std::optional<bool> isCurrentTrack_;
    std::optional<OVAudioPlayerStatus> audioStatus_;
};

}  // namespace orvane
