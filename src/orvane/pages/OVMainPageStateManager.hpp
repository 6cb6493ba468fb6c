// The main page's state observer. The bridge hands it every widget state
// (registered by the main page, which owns it, and kept by the bridge for
// good); it remembers the last state it received and calls on the page only
// the updates whose inputs changed since: theme and main colour, current
// episode with its podcast, recommended episodes, player status, playback
// position. An input that the new state lacks (no current episode, no
// status, no position) calls nothing and the page keeps what it shows; the
// next state that has it again is a change.
//
// The page is held weakly: once it is gone states are still remembered and
// nothing is called. The states are kept as the bridge shares them, never
// copied. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/OVState.hpp"
#include "platform/graphics/Color.hpp"

namespace orvane {

class OVMainPage;

class OVMainPageStateManager : public OVObserver {
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    // Does not register itself with the bridge.
    static std::shared_ptr<OVMainPageStateManager> create(const std::shared_ptr<OVMainPage>& page);
    OVMainPageStateManager(ConstructorKey, const std::shared_ptr<OVMainPage>& page) : page_(page) {}

    std::shared_ptr<OVMainPage> page() const { return page_.lock(); }
    void setPage(const std::shared_ptr<OVMainPage>& page) { page_ = page; }

    // Applies the bridge's last state, when there is one.
    void updateWithCurrentState();

    // ---- OVObserver ----
    void didReceive(const OVState& state) override;
    void didReceiveShared(const std::shared_ptr<const OVState>& state) override;

private:
    // What the page shows of a state, read once per state without copying
    // its contents: the pointers are into the state, which is kept with them.
    struct Inputs {
        OVTheme theme = OVTheme::light;
        platform::graphics::Color mainColor;
        std::shared_ptr<OVTrack> currentTrack;
        const OVContent* currentContent = nullptr;
        // Each recommended content's selected episode, in order.
        std::vector<std::pair<std::shared_ptr<OVTrack>, const OVContent*>> following;
        std::optional<OVAudioPlayerStatus> status;
        std::optional<OVState::AudioPosition> audioPosition;
        static Inputs of(const OVState& state);
    };

    void updatePage(std::shared_ptr<const OVState> state);

    std::weak_ptr<OVMainPage> page_;
    std::shared_ptr<const OVState> lastUpdateState_;
    // Read from `lastUpdateState_`; none before the first state.
    std::optional<Inputs> lastInputs_;
};

}  // namespace orvane
