// Shared by the main page's tests: widget states built from a few values
// and delivered through the bridge as the widget posts them (decoded on the
// bridge's queue, handed to the observers on the main queue), a main page
// that writes down every update its state manager calls, and the page shown
// as the root container shows it: on its screen, in a recording root
// container, in a 375-point-wide window. Header-only; main thread.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/pages/OVMainPage.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingFanViewController.hpp"

namespace mainpage {

using platform::core::Json;

// One episode of the catalogue; no artwork address unless asked.
inline Json track(const std::string& key, bool selected, double duration, bool artwork) {
    Json description = {{"title", "Episode " + key}, {"text", "<p>Notes for " + key + ": guests, music, credits.</p>"}};
    if (artwork) description["imgSrc"] = "https://media.example.com/art/" + key + ".jpg";
    return Json{{"key", key},
                {"title", "Episode " + key + ": a conversation by the river"},
                {"episode", 1},
                {"publicationDate", nullptr},
                {"selected", selected},
                {"audio", {{"audioSrc", "https://media.example.com/audio/" + key + ".mp3"}, {"trackDuration", duration}}},
                {"description", description}};
}

inline Json content(const std::string& key, const std::vector<std::string>& trackKeys, double duration, bool artwork) {
    Json tracks = Json::array();
    for (std::size_t i = 0; i < trackKeys.size(); ++i) tracks.push_back(track(trackKeys[i], i == 0, duration, artwork));
    Json description = {{"title", "Podcast " + key}, {"text", "<p>Every week, a conversation about " + key + ".</p>"}};
    if (artwork) description["imgSrc"] = "https://media.example.com/covers/" + key + ".jpg";
    return Json{{"key", key}, {"title", "Podcast " + key}, {"description", description}, {"tracks", tracks}};
}

// A widget state: the player's location shows `content` (and `track`, at
// `time`), recommends the listed contents (each one's first episode) and
// has the theme colour `mainColor`. The catalogue: "show" (show-1 to
// show-3), "other" (which also holds an episode keyed show-1), "next" and
// "later" (one episode each).
struct WidgetState {
    std::string mainColor = "#E4572E";
    std::optional<std::string> content = "show";
    std::optional<std::string> track{};
    std::optional<double> time{};
    std::vector<std::string> recommendations{};
    bool player = true;
    std::optional<std::string> status{};
    double duration = 600;
    bool artwork = false;
};

inline Json state(const WidgetState& given) {
    Json contents = {{"show", content("show", {"show-1", "show-2", "show-3"}, given.duration, given.artwork)},
                     {"other", content("other", {"show-1", "other-2"}, given.duration, given.artwork)},
                     {"next", content("next", {"next-1"}, given.duration, given.artwork)},
                     {"later", content("later", {"later-1"}, given.duration, given.artwork)}};
    Json location = Json::object();
    if (given.content) location["content"] = {{"key", *given.content}, {"loading", false}};
    if (given.track) {
        location["track"] = {{"key", *given.track}};
        if (given.time) location["track"]["currentTime"] = *given.time;
    }
    location["recommendations"] = {{"keys", given.recommendations}};
    location["theme"] = {{"mainColor", given.mainColor}};
    Json body = {{"contents", contents}, {"locations", {{"here", location}}}};
    if (given.player) {
        Json player = {{"locationKey", "here"}};
        if (given.status) player["playingStatus"] = *given.status;
        body["player"] = player;
    }
    return body;
}

// Posts the state as the widget does and lets the bridge decode and deliver it.
inline void deliver(const Json& body) {
    auto& bridge = orvane::OVWidgetManager::shared();
    bridge.didReceive(platform::web::ScriptMessage{"stateUpdate", body, {}});
    auto* queue = dynamic_cast<platform::core::SerialQueue*>(bridge.decodeQueue().get());
    for (int round = 0; round < 3; ++round) {
        platform::core::RunLoop::main().runUntilIdle();
        if (queue) queue->drain();
    }
    platform::core::RunLoop::main().runUntilIdle();
}
inline void deliver(const WidgetState& given) { deliver(state(given)); }

inline std::string colourText(const platform::graphics::Color& c) {
    return "rgb(" + testsupport::numberText(std::round(c.red * 255)) + "," +
           testsupport::numberText(std::round(c.green * 255)) + "," + testsupport::numberText(std::round(c.blue * 255)) +
           ")";
}

// A main page that writes down each update it is given, then applies it.
class RecordingMainPage : public orvane::OVMainPage {
public:
    explicit RecordingMainPage(ConstructorKey key) : OVMainPage(key) {}
    using OVMainPage::update;
    void update(const orvane::OVTheme& withTheme, const platform::graphics::Color& andMainColor) override {
        calls.push_back(std::string("theme(") + (withTheme == orvane::OVTheme::light ? "light" : "dark") + ", " +
                        colourText(andMainColor) + ")");
        OVMainPage::update(withTheme, andMainColor);
    }
    void update(const std::shared_ptr<orvane::OVTrack>& withEpisode, const orvane::OVContent& inPodcast) override {
        calls.push_back("episode(" + testsupport::pairText(withEpisode, inPodcast) + ")");
        OVMainPage::update(withEpisode, inPodcast);
    }
    void update(const std::vector<orvane::OVTrackInPodcast>& withRecommendations) override {
        std::string text = "recommendations(";
        for (std::size_t i = 0; i < withRecommendations.size(); ++i)
            text += (i ? ", " : "") + testsupport::pairText(withRecommendations[i].track, withRecommendations[i].podcast);
        calls.push_back(text + ")");
        OVMainPage::update(withRecommendations);
    }
    void update(orvane::OVAudioPlayerStatus withAudioStatus) override {
        calls.push_back("status(" + std::string(orvane::rawValue(withAudioStatus)) + ")");
        OVMainPage::update(withAudioStatus);
    }
    void update(const orvane::OVAudioPosition& withAudioPosition) override {
        calls.push_back("position(" + testsupport::numberText(withAudioPosition.time) + ", " +
                        testsupport::numberText(withAudioPosition.duration) + ")");
        OVMainPage::update(withAudioPosition);
    }
    testsupport::Calls calls;
};

// A fresh start for each test: manual clock, the layer hooks and nibs, no
// state in the bridge, an empty library.
inline void freshStart() {
    platform::core::RunLoop::main().useManualClock();
    orvane::installLayerHooks();
    orvane::OVElementNibs::registerAll();
    orvane::OVWidgetManager::shared().setLastState(std::shared_ptr<const orvane::OVState>{});
    orvane::OVMock::UserData::shared().setLibrary({});
}

// The page as the root container shows it, side buttons in use.
template <class Page = orvane::OVMainPage>
struct Shown {
    std::shared_ptr<testsupport::RecordingCoordinator> coordinator = testsupport::RecordingCoordinator::create();
    std::shared_ptr<testsupport::RecordingFanViewController> fan = testsupport::RecordingFanViewController::create();
    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<Page> page;
    std::shared_ptr<orvane::OVScreen> screen;

    explicit Shown(double height = 667, orvane::OVMainPage::NavigationBarButtons buttons = {true, true}) {
        page = orvane::OVPage::create<Page>(coordinator);
        page->setNavigationBarButtonIsDisplayed(buttons);
        window = platform::ui::Window::create({375, height});
        window->setRootViewController(fan);
        screen = fan->hold(page);
        window->layoutIfNeeded();
    }
};

}  // namespace mainpage
