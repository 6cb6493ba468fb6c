// Keeps the chip in step with the widget's state: a state observer of the
// bridge, made by the chip and registered by it, holding the chip weakly.
// Every state is recorded first; then, while the chip is off screen, a state
// with a location theme places it over the host's root view (built at the
// theme's size, at its corner, with its margins); then only what changed
// since the state before is pushed, in a fixed order: theme and main colour,
// playing status, position. The bridge keeps the manager for good; once its
// chip is gone it records states and pushes nothing. Main queue only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

class OVChip;

class OVChipStateManager : public OVObserver {
public:
    explicit OVChipStateManager(std::weak_ptr<OVChip> view) : chip_(std::move(view)) {}

    std::shared_ptr<OVChip> chip() const { return chip_.lock(); }

    void didReceive(const OVState& state) override;
    // Applies the bridge's last state as if delivered; nothing without one.
    void updateWithCurrentState();

private:
    void updateView(const OVState& state);
    void displayChip(const OVLocation::Theme& withPlayerInfos, OVTheme theme, const platform::graphics::Color& andMainColor);

    std::weak_ptr<OVChip> chip_;
    std::optional<OVState> lastUpdateState_;
};

}  // namespace orvane
