// Demo host: embeds the component the way a host application would, against
// the reference widget page carrying demo content whose episodes a local HTTP
// server serves (short generated WAV files), and prints as it happens what
// the widget posts, the states the component receives, the scripts it sends
// back (events included), the audio player's status changes and the server's
// requests. The component's own audio player plays, through the sound server
// when one answers: the first play streams the episode through the caching
// item, the second play of the same episode comes from the disk cache. Ends
// by itself after about ten seconds.
//
//   orvane-demo-host [--verbose] [--wav FILE]
//     --verbose    also prints the bridge's full debug output, state bodies included
//     --wav FILE   writes what the listener would have heard to FILE instead
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <functional>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <random>
#include <string>

#include "DemoAudioServer.hpp"
#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/demo/Brisquel.hpp"
#include "orvane/demo/Halvick.hpp"
#include "orvane/playback/OVAudioPlayer.hpp"
#include "orvane/playback/OVCachePlayerItem.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/Date.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/DispatchQueue.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/core/Timer.hpp"
#include "platform/media/AudioOutput.hpp"

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
    // No image addresses: the demo content's point elsewhere, and the demo
    // talks to its own local server only.
    return out;
}

// The demo server's address of an episode, by its key.
std::function<std::string(const std::string&)> episodeAddress;

Json trackJson(const orvane::OVTrack& track, bool selected) {
    Json audio = Json::object();
    audio["audioSrc"] = episodeAddress(track.key());
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
    bool verbose = false;
    std::optional<std::filesystem::path> wavPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc) {
            wavPath = std::filesystem::absolute(argv[++i]);
        } else {
            std::cerr << "usage: orvane-demo-host [--verbose] [--wav FILE]" << std::endl;
            return 2;
        }
    }
    if (wavPath) platform::media::AudioOutput::configure({platform::media::AudioOutput::Kind::wavFile, *wavPath});

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
        } else if (verbose || line.find("Error") != std::string_view::npos ||
                   line.find("Audio output") != std::string_view::npos) {
            std::cerr << stamp() << line << std::endl;
        }
    });

    // The episodes' audio: short generated files on a local server.
    demo::DemoAudioServer server([](const std::string& path) {
        platform::core::DispatchQueue::main().async([path] { say("audio server: GET " + path); });
    });
    std::map<std::string, std::string> episodeNames;
    {
        const orvane::Brisquel brisquel;
        const orvane::Halvick halvick;
        int index = 0;
        for (const auto& track : {brisquel.track1, brisquel.track2, halvick.track1, halvick.track2}) {
            const std::string name = "episode-" + std::to_string(++index);
            episodeNames[track->key()] = name;
            server.addEpisode(name, index == 1 ? 4.0 : 3.0);
        }
    }
    if (!server.start()) {
        std::cerr << "demo: cannot start the audio server on 127.0.0.1" << std::endl;
        return 1;
    }
    episodeAddress = [&](const std::string& key) {
        const auto it = episodeNames.find(key);
        return it == episodeNames.end() ? std::string() : server.episodeURL(it->second);
    };

    auto printer = std::make_shared<StatePrinter>();
    auto& bridge = OVWidgetManager::shared();
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
    auto player = [] { 
        auto coordinator = orvane::Orvane::shared().coordinator();
        return coordinator ? coordinator->player() : nullptr;
    };

    // The audio player's status, printed as it changes (the running
    // coordinator's player; a restart of the component brings a new one).
    std::string lastStatus = "none";
    std::shared_ptr<orvane::OVAudioPlayer> lastPlayer;
    auto statusTimer = platform::core::Timer::scheduledTimer(0.05, true, [&](platform::core::Timer&) {
        auto current = player();
        const std::string status = current ? std::string(orvane::rawValue(current->status())) : "none";
        if (current == lastPlayer && status == lastStatus) return;
        if (current && lastPlayer && current != lastPlayer) say("component: a new audio player took over");
        say("audio player: status " + status);
        lastStatus = status;
        lastPlayer = current;
    });

    const orvane::Brisquel brisquel;
    const std::string firstEpisode = brisquel.track1->key();

    at(1.9, "host: the web view injects its state listener at 2 s and prints the result (nil: no error)", [] {});
    at(2.3, "listener: taps the first episode in the widget (4 s of audio)", [&] {
        inPage("window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_SELECT_TRACK', payload: { key: " +
               Json(firstEpisode).dump() + " } })");
    });
    at(7.0, "listener: picks the same episode again in the component", [&] {
        bridge.send(OVWidgetManager::SDKPlayerAction::selectTrack(
            OVWidgetManager::SDKPlayerAction::selectTrackPayload(firstEpisode)));
    });
    at(7.4, "host: where does the audio come from now?", [&] {
        auto current = player();
        auto avPlayer = current ? current->player() : nullptr;
        auto item = avPlayer ? std::dynamic_pointer_cast<orvane::OVCachePlayerItem>(avPlayer->currentItem()) : nullptr;
        const bool fromCache = item && item->resourceLoaderDelegate()->playingFromData();
        say(fromCache ? "component: the episode plays from the disk cache (no request)"
                      : "component: the episode streams from the server");
    });
    at(8.0, "listener: moves the position slider to 3 s", [&] {
        if (auto coordinator = orvane::Orvane::shared().coordinator()) coordinator->didChangeSlider(3.0f, nullptr);
    });
    at(9.6, "host: closing the component", [&] {
        if (auto coordinator = orvane::Orvane::shared().coordinator()) coordinator->quit();
    });
    at(10.0, "host: done", [&] {
        say("audio server: " + std::to_string(server.requestCount("episode-1")) +
            " request(s) for the first episode over its two plays");
        loop.stop();
    });

    loop.run();

    // Let a state still being decoded finish before the process ends.
    if (auto* queue = dynamic_cast<platform::core::SerialQueue*>(bridge.decodeQueue().get())) queue->drain();

    statusTimer->invalidate();
    server.stop();
    if (wavPath) {
        platform::media::AudioOutput::configure({});  // closes the file
        std::cout << "demo: what the listener would have heard is in " << wavPath->string() << std::endl;
    }
    platform::core::setDebugSink({});
    std::error_code ec;
    std::filesystem::remove_all(documents, ec);
    return 0;
}
