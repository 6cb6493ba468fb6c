// Keeps the chip in step with the widget's state: a state observer of the
// bridge, made by the chip and registered by it, holding the chip weakly.
// Every state is recorded first (the bridge's own, shared and never
// changed, without a copy); then, while the chip is off screen, a state
// with a location theme places it over the host's root view (built at the
// theme's size, at its corner, with its margins); then only what changed
// since the state before is pushed, in a fixed order: theme and main colour,
// playing status, position. The bridge keeps the manager for good; once its
// chip is gone it records states and pushes nothing. Main queue only.
#pragma once

#include <memory>

#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/OVState.hpp"

namespace orvane {

class OVChip;

class OVChipStateManager : public OVObserver {
public:
    explicit OVChipStateManager(std::weak_ptr<OVChip> view) : chip_(std::move(view)) {}

    std::shared_ptr<OVChip> chip() const { return chip_.lock(); }

    // The bridge's state is kept as it is handed over; a state of another
    // caller's is copied once.
    void didReceiveShared(const std::shared_ptr<const OVState>& state) override;
    void didReceive(const OVState& state) override;
    // Applies the bridge's last state as if delivered; nothing without one.
    void updateWithCurrentState();

private:
    void updateView(std::shared_ptr<const OVState> current);
    void displayChip(const OVLocation::Theme& withPlayerInfos, OVTheme theme, const platform::graphics::Color& andMainColor);

    std::weak_ptr<OVChip> chip_;
    // The state last applied, shared with the bridge (never changed).
    std::shared_ptr<const OVState> lastUpdateState_;
};

}  // namespace orvane
