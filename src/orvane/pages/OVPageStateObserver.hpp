// The state observer that the podcast and episode pages share: registered
// with the bridge by its page (the bridge keeps it for good), it compares
// each widget state with the last one it saw (`OVPageStateChanges`) and
// calls the page only for what changed, in this order: the theme or main
// colour, the current episode with its podcast, the player status. It keeps
// the state as the bridge shares it, without a copy. Holds its page weakly;
// once the page is gone it calls nothing and lets go of the state it kept.
// `Page` offers the three updates of `OVPage`. Main thread only.
#pragma once

#include <memory>
#include <utility>

#include "orvane/pages/OVPageStateChanges.hpp"
#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"

namespace orvane {

template <class Page>
class OVPageStateObserver : public OVObserver {
public:
    explicit OVPageStateObserver(const std::shared_ptr<Page>& page) : page_(page) {}

    std::shared_ptr<Page> page() const { return page_.lock(); }
    const std::shared_ptr<const OVState>& lastUpdateState() const { return lastUpdateState_; }

    // Applies the bridge's last state, when there is one.
    void updateWithCurrentState() {
        if (const auto& state = OVWidgetManager::shared().lastState()) updatePage(state);
    }

    // ---- OVObserver ----
    void didReceive(const OVState& state) override { updatePage(std::make_shared<const OVState>(state)); }
    void didReceiveShared(const std::shared_ptr<const OVState>& state) override {
        if (state) updatePage(state);
    }

private:
    void updatePage(const std::shared_ptr<const OVState>& withState) {
        const auto page = page_.lock();
        if (!page) {
            lastUpdateState_.reset();  // nothing will be compared again
            return;
        }
        const auto old = std::exchange(lastUpdateState_, withState);
        const auto changes = OVPageStateChanges::between(old.get(), *withState);
        if (changes.theme) page->update(withState->theme(), withState->mainColor());
        if (changes.episode) page->update(changes.episode->track, changes.episode->podcast);
        if (changes.audioStatus) page->update(*changes.audioStatus);
    }

    std::weak_ptr<Page> page_;
    std::shared_ptr<const OVState> lastUpdateState_;
};

}  // namespace orvane
