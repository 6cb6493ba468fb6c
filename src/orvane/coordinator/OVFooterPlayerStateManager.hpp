// Keeps the footer player in step with the widget's state: a state observer
// of the bridge, made and registered by the bar (`awakeFromNib`), holding
// the bar weakly. Every state is recorded first (the bridge's own, shared
// and never changed, without a copy); then only what changed since the
// state before is pushed, in a fixed order: theme and main colour, the
// episode in its podcast (episodes compared by key, podcasts by
// identifier), the playing status, the position. A part the state lacks
// pushes nothing. The bridge keeps the manager for good; once its bar is
// gone it records states and pushes nothing. Main queue only.
#pragma once

#include <memory>

#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/OVState.hpp"

namespace orvane {

class OVFooterPlayer;

class OVFooterPlayerStateManager : public OVObserver {
public:
    explicit OVFooterPlayerStateManager(std::weak_ptr<OVFooterPlayer> view) : view_(std::move(view)) {}

    std::shared_ptr<OVFooterPlayer> view() const { return view_.lock(); }
    // The state last received, shared with the bridge; none before the first.
    const std::shared_ptr<const OVState>& lastUpdateState() const { return lastUpdateState_; }

    // The bridge's state is kept as it is handed over; a state of another
    // caller's is copied once.
    void didReceiveShared(const std::shared_ptr<const OVState>& state) override;
    void didReceive(const OVState& state) override;
    // Applies the bridge's last state as if delivered; nothing without one.
    void updateWithCurrentState();

private:
    void updateView(std::shared_ptr<const OVState> current);

    std::weak_ptr<OVFooterPlayer> view_;
    std::shared_ptr<const OVState> lastUpdateState_;
};

}  // namespace orvane
