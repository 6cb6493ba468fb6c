#include "orvane/coordinator/OVChipStateManager.hpp"

#include "orvane/coordinator/OVChip.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/ui/controllers/ViewController.hpp"

namespace orvane {

void OVChipStateManager::didReceiveShared(const std::shared_ptr<const OVState>& state) { updateView(state); }

void OVChipStateManager::didReceive(const OVState& state) { updateView(std::make_shared<const OVState>(state)); }

void OVChipStateManager::updateWithCurrentState() {
    if (const auto& state = OVWidgetManager::shared().lastState()) updateView(state);
}

void OVChipStateManager::updateView(std::shared_ptr<const OVState> current) {
    if (!current) return;
    // Recorded before anything is compared, chip or no chip (held here too:
    // a chip's update could bring the next state before this one is done).
    const std::shared_ptr<const OVState> previous = std::exchange(lastUpdateState_, current);
    const OVState& state = *current;

    // Placement, while the chip is off screen.
    if (auto chip = chip_.lock(); !chip || !chip->superview()) {
        if (const auto theme = state.locationTheme()) displayChip(*theme, state.theme(), state.mainColor());
    }

    // Theme, then the main colour when the themes are equal.
    const bool themeChanged = !previous || previous->theme() != state.theme() ||
                              !(previous->mainColor() == state.mainColor());
    if (themeChanged) {
        if (auto chip = chip_.lock()) chip->update(state.theme(), state.mainColor());
    }

    // Playing status: an absent one pushes nothing.
    const auto status = state.player ? state.player->playingStatus : std::nullopt;
    const auto previousStatus = previous && previous->player ? previous->player->playingStatus : std::nullopt;
    if (status && status != previousStatus) {
        if (auto chip = chip_.lock()) chip->update(*status);
    }

    // Position: the time, or else the duration, changed; an absent one
    // pushes nothing.
    const auto position = state.audioPosition();
    const auto previousPosition = previous ? previous->audioPosition() : std::nullopt;
    if (position && position != previousPosition) {
        if (auto chip = chip_.lock()) chip->update(*position);
    }
}

void OVChipStateManager::displayChip(const OVLocation::Theme& withPlayerInfos, OVTheme theme,
                                     const platform::graphics::Color& andMainColor) {
    // Without the host's root view controller the chip waits for a later state.
    const auto root = Orvane::shared().rootViewController();
    if (!root) return;
    const OVThemeSize size = withPlayerInfos.size.value_or(OVThemeSize::normal);
    const OVThemePosition position = withPlayerInfos.position.value_or(OVThemePosition::bottomRight);
    const double side = OVConstants::OVChip::side(size);
    if (auto chip = chip_.lock()) chip->initialize(side);
    if (auto chip = chip_.lock()) chip->update(theme, andMainColor);
    if (auto chip = chip_.lock())
        chip->display(root, position, withPlayerInfos.verticalMargin, withPlayerInfos.horizontalMargin);
}

}  // namespace orvane
