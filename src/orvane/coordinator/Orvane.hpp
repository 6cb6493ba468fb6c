// The component's facade: the one object the host talks to. It keeps the
// host's configuration (whose default artwork becomes the component's),
// a weak reference to the host's root view controller (over which the chip
// is placed and the root container presented) and the running coordinator,
// which it owns. `start()` quits the running coordinator, if any, and
// creates a new one. A host also supplies what the discover screen
// recommends, watches the widget's states and picks where the audio is
// heard through it. Main-thread only; one instance for the
// process (`shared()`), made on first access, which installs the hooks the
// lower layers call up through (`installLayerHooks()`) and fills the pages'
// arrow images.
#pragma once

#include <filesystem>
#include <memory>
#include <optional>

#include "orvane/model/OVDiscoverRecommendations.hpp"
#include "orvane/toolkit/OVConfigurations.hpp"
#include "orvane/widget/OVAudioPlayerStatus.hpp"

namespace platform::ui {
class ViewController;
}

namespace orvane {

class OVCoordinator;
class OVObserver;

class Orvane {
public:
    static Orvane& shared();

    Orvane(const Orvane&) = delete;
    Orvane& operator=(const Orvane&) = delete;

    // The host's configuration, none until set.
    const std::optional<OVConfigurations>& configurations() const { return configurations_; }
    // Stores the record; its default image becomes the default artwork (none
    // keeps the current one). Never fails.
    void setConfiguration(OVConfigurations configuration);

    // Held weakly: the host owns its root view controller.
    std::shared_ptr<platform::ui::ViewController> rootViewController() const { return rootViewController_.lock(); }
    void setRootController(const std::shared_ptr<platform::ui::ViewController>& controller) {
        rootViewController_ = controller;
    }

    // What the discover screen recommends, empty until set. Kept in the
    // listener's library, which the discover screen reads each time it
    // shows; episodes without an episode object are left out. Never fails.
    OVDiscoverRecommendations discoverRecommendations() const;
    void setDiscoverRecommendations(OVDiscoverRecommendations recommendations);

    // Quits the current coordinator (when there is one), then creates a new
    // one and keeps it. Never fails.
    void start();

    // The running component's audio player status; none before the first
    // start.
    std::optional<OVAudioPlayerStatus> playerStatus() const;

    // Adds an observer of the widget's states: each state the component
    // receives from the widget, decoded, on the main thread. Held strongly
    // and never removed (see OVObserver.hpp).
    void addStateObserver(std::shared_ptr<OVObserver> observer);
    // Where the component's audio is heard: the sound server when one
    // answers (none: the default), else an output that only keeps time; or a
    // WAV file at `wavPath` holding what the listener would have heard.
    // Closes the output in use (a WAV file is complete once closed); the next
    // play opens the one asked for. Any thread.
    void setAudioFile(std::optional<std::filesystem::path> wavPath);
    // Fills the pages' arrow images from the bundle's assets, left first.
    void setConfig();

    // The running coordinator, none before the first start.
    const std::shared_ptr<OVCoordinator>& coordinator() const { return coordinator_; }

private:
    Orvane();
    void setConfigurations(std::optional<OVConfigurations> configurations);

    std::optional<OVConfigurations> configurations_;
    std::shared_ptr<OVCoordinator> coordinator_;
    std::weak_ptr<platform::ui::ViewController> rootViewController_;
};

}  // namespace orvane
