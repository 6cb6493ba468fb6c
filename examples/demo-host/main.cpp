// Demo host: embeds the component the way a host application would, against
// the reference widget page carrying demo content, and prints as it happens
// what the widget posts, the states the component receives and the scripts
// it sends back. A stand-in player carries out the widget's audio commands
// (it reports positions; no sound is played). Ends by itself after a few
// seconds.
//
//   orvane-demo-host [--verbose]   (--verbose also prints the bridge's full
//                                   debug output, state bodies included)
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/demo/Brisquel.hpp"
#include "orvane/demo/Halvick.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"

namespace {

using orvane::OVWidgetManager;
using platform::core::Json;
using platform::core::RunLoop;

const std::filesystem::path kWidgetDirectory =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path() / "tests/support/widget";

double startTime = 0;

std::string stamp() {
    char text[32];
    std::snprintf(text, sizeof text, "[%5.2fs] ", RunLoop::main().now() - startTime);
    return text;
}

void say(const std::string& line) { std::cout << stamp() << line << std::endl; }

// ---- demo content as the widget's state ----

Json descriptionJson(const orvane::OVObjDescription& d) {
    Json out = Json::object();
    if (d.title) out["title"] = *d.title;
    if (d.text) out["text"] = *d.text;
    if (d.image) out["imgSrc"] = *d.image;
    return out;
}

Json trackJson(const orvane::OVTrack& track, bool selected) {
    Json audio = Json::object();
    if (track.audio().audio) audio["audioSrc"] = *track.audio().audio;
    if (track.audio().duration) audio["trackDuration"] = *track.audio().duration;
    Json out{{"key", track.key()},
             {"title", track.title()},
             {"episode", track.number() ? Json(*track.number()) : Json()},
             {"publicationDate",
              track.publicationDate() ? Json(platform::core::formatISO8601Full(*track.publicationDate())) : Json()},
             {"selected", selected},
             {"audio", audio}};
    if (track.description()) out["description"] = descriptionJson(*track.description());
    return out;
}

Json contentJson(const std::string& key, const orvane::OVObjDescription& description,
                 std::initializer_list<std::shared_ptr<orvane::OVTrack>> tracks, const std::string& color) {
    Json list = Json::array();
    bool first = true;
    for (const auto& track : tracks) {
        list.push_back(trackJson(*track, first));
        first = false;
    }
    return Json{{"key", key},
                {"title", description.title.value_or(key)},
                {"description", descriptionJson(description)},
                {"type", "podcast"},
                {"mainColor", color},
                {"trackListMode", "vertical"},
                {"tracks", list}};
}

Json demoState() {
    const orvane::Brisquel brisquel;
    const orvane::Halvick halvick;
    Json state;
    state["contents"]["brisquel"] = contentJson("brisquel", brisquel.description, {brisquel.track1, brisquel.track2}, "#2E6F95");
    state["contents"]["halvick"] = contentJson("halvick", halvick.description, {halvick.track1, halvick.track2}, "#B5523B");
    state["locations"]["article"] = Json{
        {"content", {{"key", "brisquel"}, {"loading", false}}},
        {"track", {{"key", brisquel.track1->key()}, {"currentTime", 0.0}}},
        {"recommendations", {{"keys", Json::array({"halvick"})}}},
        {"theme", {{"chipPosition", "bottom_right"}, {"chipSize", "normal"}, {"mainColor", "#2E6F95"}}}};
    state["player"] = Json{{"locationKey", "article"}, {"playingStatus", "paused"}, {"closed", true},
                           {"muted", false}, {"readMore", false}, {"drawerState", "collapse"}};
    return state;
}

std::string pageHTML(const Json& state) {
    std::string json = state.dump(-1, ' ', true);
    for (std::size_t at = json.find("</"); at != std::string::npos; at = json.find("</", at + 3)) {
        json.replace(at, 2, "<\\/");
    }
    return "<!doctype html><html><body>\n<script>window.__orvaneInitialState__ = " + json +
           ";</script>\n<script src=\"reference-widget.js\"></script>\n</body></html>\n";
}

// ---- what the component is given ----

// Carries out the widget's audio commands and reports positions as a player
// would, through the bridge's events.
class DemoPlayer : public orvane::OVWidgetManagerDelegate {
public:
    void widgetSetSource(const std::string& source) override {
        say("player: new source " + source);
        position_ = 0;
    }
    void widgetPlay(std::function<void(bool)> completion) override {
        say("player: play");
        playing_ = true;
        completion(true);
    }
    void widgetPause() override {
        say("player: pause at " + orvane::plainDescription(position_) + " s");
        playing_ = false;
    }
    std::optional<double> widgetGetCurrentTime() override { return position_; }

    // One tick of the playback clock.
    void advance(double seconds) {
        if (!playing_) return;
        position_ += seconds;
        OVWidgetManager::shared().send(OVWidgetManager::SDKEvent::timeUpdate(position_));
    }
    void seek(double seconds) { position_ = seconds; }

private:
    bool playing_ = false;
    double position_ = 0;
};

class StatePrinter : public orvane::OVObserver {
public:
    void didReceive(const orvane::OVState& state) override {
        std::string line = "component <- state:";
        auto status = state.audioPlayerStatus();
        line += " status=" + (status ? std::string(orvane::rawValue(*status)) : std::string("none"));
        if (auto content = state.currentContent()) line += " content=" + content->identifier;
        if (auto track = state.currentTrack()) line += " episode=\"" + track->title() + "\"";
        if (auto position = state.audioPosition()) {
            line += " position=" + orvane::plainDescription(position->time) + "/" +
                    orvane::plainDescription(position->duration) + " s";
        }
        line += " following=" + std::to_string(state.followingTracks().size());
        say(line);
    }
};

}  // namespace

int main(int argc, char** argv) {
    const bool verbose = argc > 1 && std::strcmp(argv[1], "--verbose") == 0;

    // Files (the episodes' cache look-ups, the debug log) go to a scratch
    // Documents directory removed at the end.
    std::random_device random;
    const auto documents =
        std::filesystem::temp_directory_path() / ("orvane-demo-" + std::to_string(random()));
    std::filesystem::create_directories(documents);
    platform::core::FileManager::setDocumentsDirectory(documents);

    startTime = RunLoop::main().now();
    platform::core::setDebugSink([verbose](std::string_view line) {
        constexpr std::string_view toWidget = "\"SDK -> WIDGET\" ";
        constexpr std::string_view fromWidget = "\"WIDGET -> SDK\" ";
        if (line.substr(0, toWidget.size()) == toWidget) {
            say("component -> widget: " + Json::parse(line.substr(toWidget.size())).get<std::string>());
        } else if (line.substr(0, fromWidget.size()) == fromWidget) {
            say("widget -> component: message " + std::string(line.substr(fromWidget.size())));
        } else if (verbose || line.find("Error") != std::string_view::npos) {
            std::cerr << stamp() << line << std::endl;
        }
    });

    auto player = std::make_shared<DemoPlayer>();
    auto printer = std::make_shared<StatePrinter>();
    auto& bridge = OVWidgetManager::shared();
    bridge.setDelegate(player);
    bridge.addObserver(printer);

    say("host: starting the component");
    orvane::Orvane::shared().start();  // no web view yet: its "PLAYER_OPEN" goes nowhere

    say("host: loading the widget page with demo content");
    auto webView = orvane::OVWebView::create();
    webView->loadHTMLString(pageHTML(demoState()), kWidgetDirectory);

    auto& loop = RunLoop::main();
    auto at = [&](double seconds, std::string what, std::function<void()> action) {
        loop.asyncAt(startTime + seconds, [what = std::move(what), action = std::move(action)] {
            say(what);
            action();
        });
    };
    auto inPage = [&](const std::string& script) { webView->evaluateJavaScript(script); };

    at(1.9, "host: the web view injects its state listener at 2 s and prints the result (nil: no error)", [] {});
    at(2.3, "listener: taps play in the widget", [&] {
        inPage("window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_PLAY_REQUESTED' })");
    });
    for (double t = 2.8; t < 3.9; t += 0.5) {
        loop.asyncAt(startTime + t, [player] { player->advance(0.5); });
    }
    at(4.0, "listener: picks the second episode in the component", [&] {
        const orvane::Brisquel brisquel;
        bridge.send(OVWidgetManager::SDKPlayerAction::selectTrack(
            OVWidgetManager::SDKPlayerAction::selectTrackPayload(brisquel.track2->key())));
        bridge.send(OVWidgetManager::SDKEvent::durationChange(586.0));
    });
    for (double t = 4.5; t < 5.6; t += 0.5) {
        loop.asyncAt(startTime + t, [player] { player->advance(0.5); });
    }
    at(5.7, "listener: moves the position slider to 30 s", [&] {
        player->seek(30.0);
        bridge.send(OVWidgetManager::SDKPlayerAction::playerUserTimeUpdate(30.0));
        bridge.send(OVWidgetManager::SDKTracking::cursorMove);
    });
    at(6.0, "listener: taps pause in the component", [&] {
        bridge.send(OVWidgetManager::SDKPlayerAction::pause());
        bridge.send(OVWidgetManager::SDKTracking::mainPause);
    });
    at(6.5, "host: closing the component", [&] {
        if (auto coordinator = orvane::Orvane::shared().coordinator()) coordinator->quit();
    });
    at(7.0, "host: done", [&] { loop.stop(); });

    loop.run();

    // Let a state still being decoded finish before the process ends.
    if (auto* queue = dynamic_cast<platform::core::SerialQueue*>(bridge.decodeQueue().get())) queue->drain();

    platform::core::setDebugSink({});
    std::error_code ec;
    std::filesystem::remove_all(documents, ec);
    return 0;
}
