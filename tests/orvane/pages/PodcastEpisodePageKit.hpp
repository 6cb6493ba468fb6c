// What the podcast and episode page tests share: a coordinator that also
// keeps subscription changes in the listener's library (as the real one
// does), pages that note the state manager's calls, widget states made to
// order and delivered through the bridge, a page on a screen of a recording
// root container in a window, and the demo podcast with its artwork cached.
// Header-only; main thread.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/demo/Ulbrack.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/playback/OVCacheManager.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/WidgetTestSupport.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/TestImages.hpp"
#include "platform/ui/views/Window.hpp"
#include "platform/web/ScriptMessage.hpp"
#include "support/ContentBuilders.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingFanViewController.hpp"
#include "support/StateBuilder.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace pagekit {

using platform::core::Json;
using platform::core::RunLoop;
using testsupport::Calls;

// Records like the test kit's coordinator and, like the real one, keeps a
// subscription change in the listener's library.
class StoringCoordinator : public testsupport::RecordingCoordinator {
public:
    static std::shared_ptr<StoringCoordinator> create() { return std::make_shared<StoringCoordinator>(); }
    void subscription(orvane::OVSubscription forType, const orvane::OVContent& andPodcast,
                      bool didChangeToValue) override {
        RecordingCoordinator::subscription(forType, andPodcast, didChangeToValue);
        auto& library = orvane::OVMock::UserData::shared();
        if (didChangeToValue) library.addSuscription(andPodcast, forType);
        else library.removeSuscription(andPodcast, forType);
    }
};

// A page of the tests that writes the state manager's three calls into
// `heard` before doing what the page does.
template <class Page>
class HearingPage : public Page {
public:
    using Page::Page;
    using Page::update;
    void update(const orvane::OVTheme& withTheme, const platform::graphics::Color& andMainColor) override {
        heard.push_back("theme(" + std::to_string(static_cast<int>(andMainColor.red * 255 + 0.5)) + ")");
        Page::update(withTheme, andMainColor);
    }
    void update(const std::shared_ptr<orvane::OVTrack>& withEpisode, const orvane::OVContent& inPodcast) override {
        heard.push_back("episode(" + testsupport::pairText(withEpisode, inPodcast) + ")");
        Page::update(withEpisode, inPodcast);
    }
    void update(orvane::OVAudioPlayerStatus withAudioStatus) override {
        heard.push_back("status(" + std::string(orvane::rawValue(withAudioStatus)) + ")");
        Page::update(withAudioStatus);
    }
    Calls heard;
};

// A widget state of one podcast "content-0" (episodes "ep-0-0" to
// "ep-0-2") at one location: the location's episode (none: no track), the
// podcast itself left out (`withContent` false), the player's status (none:
// a player without one) and the location's main colour.
struct StateSpec {
    std::optional<std::string> track = "ep-0-0";
    bool withContent = true;
    std::optional<std::string> status = "playing";
    std::string mainColor = "#E4572E";
};

inline Json state(const StateSpec& spec) {
    Json json = orvane::test::StateBuilder().contents(1).tracksPerContent(3).locations(1).recommendationsPerLocation(0)
                    .build();
    if (!spec.withContent) json["contents"] = Json::object();
    auto& location = json["locations"]["location-0"];
    if (spec.track) location["track"]["key"] = *spec.track;
    else location.erase("track");
    location["theme"]["mainColor"] = spec.mainColor;
    if (spec.status) json["player"]["playingStatus"] = *spec.status;
    else json["player"].erase("playingStatus");
    return json;
}

// Posts the state as the widget does and waits until the bridge has handed
// it to its observers.
inline void deliver(const Json& body) {
    auto& bridge = orvane::OVWidgetManager::shared();
    const auto before = bridge.lastState();
    bridge.didReceive(platform::web::ScriptMessage{"stateUpdate", body, {}});
    widgettest::settle();
    ASSERT_NE(bridge.lastState(), before) << "state not decoded";
}

// The layers set up as the facade does, the element nibs registered, an
// empty library and a manual clock.
struct Setting {
    Setting() {
        RunLoop::main().useManualClock();
        orvane::installLayerHooks();
        orvane::OVElementNibs::registerAll();
        testsupport::content::fillLibrary({});
        orvane::OVWidgetManager::shared().setLastState(std::shared_ptr<const orvane::OVState>{});
        savedWidth = orvane::OVPage::width();
        orvane::OVPage::width() = 375;
    }
    ~Setting() {
        testsupport::content::fillLibrary({});
        orvane::OVPage::width() = savedWidth;
    }
    testsupport::TempDocuments documents;
    std::optional<double> savedWidth;
};

// A page on a screen of a recording root container, in a window.
template <class Page>
struct Shown {
    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<testsupport::RecordingFanViewController> fan;
    std::shared_ptr<Page> page;

    Shown(std::shared_ptr<Page> shownPage, platform::graphics::Size size) : page(std::move(shownPage)) {
        window = platform::ui::Window::create(size);
        window->setBackgroundColor(platform::graphics::Color::black());
        fan = testsupport::RecordingFanViewController::create();
        window->setRootViewController(fan);
        // Shown as the root container shows a screen: it appears.
        const auto screen = fan->hold(page);
        screen->view()->setAutoresizingMask(platform::ui::AutoresizingMask::flexibleWidth |
                                            platform::ui::AutoresizingMask::flexibleHeight);
        screen->beginAppearanceTransition(true, false);
        screen->endAppearanceTransition();
        settle();
    }
    void settle() {
        window->layoutIfNeeded();
        RunLoop::main().runUntilIdle();
        window->layoutIfNeeded();
    }
    platform::graphics::Point centreOf(const platform::ui::View& view) const {
        return view.convertPoint({view.bounds().midX(), view.bounds().midY()}, nullptr);
    }
    void tap(const std::shared_ptr<platform::ui::View>& view) {
        ASSERT_TRUE(view);
        testsupport::tap(*window, centreOf(*view));
        settle();
    }
    std::shared_ptr<orvane::OVPage> topPage() const { return fan->screens.front()->currentPage(); }
};

// The podcast's and its episodes' artwork at an address that answers at
// once with an error (nothing leaves the machine).
inline void localArtwork(orvane::OVContent& podcast) {
    if (podcast.description) podcast.description->image = "http://127.0.0.1:1/covers/" + podcast.identifier + ".jpg";
    for (const auto& track : podcast.tracks.value_or(std::vector<std::shared_ptr<orvane::OVTrack>>{})) {
        auto description = track->description().value_or(orvane::OVObjDescription{});
        description.image = "http://127.0.0.1:1/art/" + track->key() + ".jpg";
        track->setDescription(description);
    }
}

// The demo podcast "Ulbrack" as the widget gives it, its cover and episode
// artwork already in the image cache (nothing is fetched).
inline orvane::OVContent demoPodcast() {
    const orvane::Ulbrack ulbrack;
    orvane::OVContent podcast;
    podcast.identifier = "ulbrack";
    podcast.title = ulbrack.description.title;
    podcast.description = ulbrack.description;
    podcast.type = orvane::OVContentType::podcast;
    podcast.ownerName = "Éditions Ulbrack";
    podcast.color = "#3A7D44";
    podcast.tracks = std::vector<std::shared_ptr<orvane::OVTrack>>{ulbrack.track1, ulbrack.track2, ulbrack.track3};
    int seed = 3;
    for (const char* name : {"ulbrack-cover.png", "ulbrack-balcon.jpg", "ulbrack-haies.jpg", "ulbrack-semis.jpg"}) {
        orvane::OVImageCache::cache(*platform::graphics::Image::fromData(testimages::png(120, 120, seed++)), name);
    }
    return podcast;
}

}  // namespace pagekit
