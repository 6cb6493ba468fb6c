// Keeps the now-playing information in step with the widget's state: a
// state observer of the bridge that compares each new state with the last one
// and pushes into its OVNowPlaying only what changed (a new episode: title and
// artwork; a new position: elapsed time and duration). Main queue only.
#pragma once

#include <memory>
#include <optional>

#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

class OVNowPlaying;

class OVNowPlayingStateManager : public OVObserver {
public:
    explicit OVNowPlayingStateManager(std::weak_ptr<OVNowPlaying> object) : object_(std::move(object)) {}

    std::shared_ptr<OVNowPlaying> object() const { return object_.lock(); }

    void didReceive(const OVState& state) override;
    // Applies the bridge's last state, when there is one.
    void updateWithCurrentState();

private:
    void updateObject(const OVState& state);

    std::weak_ptr<OVNowPlaying> object_;
    std::optional<OVState> lastUpdateState_;
};

}  // namespace orvane
