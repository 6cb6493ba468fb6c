// Demo host: embeds the component the way a host application would, against
// the reference widget page carrying demo content whose episodes a local HTTP
// server serves (short generated WAV files), and prints as it happens what
// the widget posts, the states the component receives, the scripts it sends
// back (events included), the audio player's status changes and the server's
// requests. The component's own audio player plays, through the sound server
// when one answers: the first play streams the episode through the caching
// item, the second play of the same episode comes from the disk cache, so the
// server sees no second request. Ends by itself after about ten seconds.
//
// It uses only what any host has: the facade and the headers the package
// installs, and its own copy of a widget page (widget/ beside this file). All
// it prints comes from the component's public observation points: the web
// view's observer (messages and scripts), the bridge's state observers and
// the facade's player status.
//
//   orvane-demo-host [--verbose] [--wav FILE]
//     --verbose    also prints the component's debug output on standard error
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
#include "platform/core/Timer.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using orvane::OVWidgetManager;
using platform::core::Json;
using platform::core::RunLoop;

// The demo's own copy of the widget page's script.
const std::filesystem::path kWidgetDirectory = ORVANE_DEMO_WIDGET_DIR;

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

// What the widget posts and what the component sends back.
class PageWatcher : public orvane::OVWebViewObserver {
public:
    void webViewDidReceive(const platform::web::ScriptMessage& message) override {
        say("widget -> component: message \"" + message.name + "\"");
    }
    void webViewWillSend(const std::string& javascript) override { say("component -> widget: " + javascript); }
};

// ---- the host's own screen ----

// An article page: a coloured header with the paper's name, a headline and a
// few paragraphs, laid out for a phone of 390 by 844 points.
std::shared_ptr<platform::ui::ViewController> articleController() {
    using namespace platform::ui;
    auto controller = ViewController::create();
    auto view = controller->view();
    view->setBackgroundColor(Color{0.97, 0.96, 0.93, 1});
    auto header = View::create({0, 0, 390, 103});
    header->setBackgroundColor(Color{0.18, 0.44, 0.58, 1});
    view->addSubview(header);
    auto label = [&](const std::string& text, const Rect& frame, const Font& font, const Color& color, int lines) {
        auto l = Label::create(frame);
        l->setText(text);
        l->setFont(font);
        l->setTextColor(color);
        l->setNumberOfLines(lines);
        view->addSubview(l);
    };
    label("The Riverside Chronicle", {20, 59, 350, 32}, Font::boldSystemFont(22), Color::white(), 1);
    label("Listening along the river: a season of stories", {20, 127, 350, 64}, Font::boldSystemFont(24),
          Color{0.1, 0.1, 0.12, 1}, 2);
    const char* paragraphs[] = {
        "Every week our reporters walk a stretch of the river and record the people they meet: boat builders, "
        "anglers, a ferry captain who has crossed the same water for thirty years.",
        "This season starts at the source, high in the hills, where the river is a stream a child can step "
        "across, and follows it down to the harbour.",
        "Press play in the player on this page and read along; the round player in the corner keeps the "
        "episode going while you browse the rest of the paper.",
    };
    double y = 207;
    for (const char* paragraph : paragraphs) {
        label(paragraph, {20, y, 350, 120}, Font::systemFont(16), Color{0.25, 0.25, 0.28, 1}, 5);
        y += 136;
    }
    return controller;
}

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
        // The audio output says where the sound goes in its own debug line.
        if (verbose || line.find("Audio output") != std::string_view::npos) std::cerr << stamp() << line << std::endl;
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

    // The host's window and its root view controller, over which the
    // component lays its chip.
    auto window = platform::ui::Window::create({390, 844}, 2);
    window->setSafeAreaInsets({47, 0, 34, 0});
    auto article = articleController();
    window->setRootViewController(article);
    orvane::Orvane::shared().setConfiguration(orvane::OVConfigurations("demo-api-key", std::nullopt, {0, 0}));
    orvane::Orvane::shared().setRootController(article);
    const auto snapshotPath = std::filesystem::absolute("orvane-demo-window.png");

    say("host: starting the component");
    orvane::Orvane::shared().start();  // no web view yet: its "PLAYER_OPEN" goes nowhere

    say("host: loading the widget page with demo content");
    auto webView = orvane::OVWebView::create();
    auto watcher = std::make_shared<PageWatcher>();
    webView->setObserver(watcher);
    webView->loadHTMLString(pageHTML(demoState()), kWidgetDirectory);

    auto& loop = RunLoop::main();
    auto at = [&](double seconds, std::string what, std::function<void()> action) {
        loop.asyncAt(startTime + seconds, [what = std::move(what), action = std::move(action)] {
            say(what);
            action();
        });
    };
    auto inPage = [&](const std::string& script) { webView->evaluateJavaScript(script); };
    // The audio player's status, printed as it changes.
    std::string lastStatus = "none";
    auto statusTimer = platform::core::Timer::scheduledTimer(0.05, true, [&](platform::core::Timer&) {
        const auto current = orvane::Orvane::shared().playerStatus();
        const std::string status = current ? std::string(orvane::rawValue(*current)) : "none";
        if (status == lastStatus) return;
        say("audio player: status " + status);
        lastStatus = status;
    });

    const orvane::Brisquel brisquel;
    const std::string firstEpisode = brisquel.track1->key();

    at(1.9, "host: the web view injects its state listener at 2 s and prints the result (nil: no error)", [] {});
    at(2.3, "listener: taps the first episode in the widget (4 s of audio)", [&] {
        inPage("window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_SELECT_TRACK', payload: { key: " +
               Json(firstEpisode).dump() + " } })");
    });
    at(4.6, "host: draws its window, the chip over the article, into a PNG file", [&] {
        const auto image = window->snapshot();
        if (image && image->writePng(snapshotPath)) {
            say("host: the window is in " + snapshotPath.string());
        } else {
            say("host: could not write " + snapshotPath.string());
        }
    });
    at(7.0, "listener: picks the same episode again in the component", [&] {
        bridge.send(OVWidgetManager::SDKPlayerAction::selectTrack(
            OVWidgetManager::SDKPlayerAction::selectTrackPayload(firstEpisode)));
    });
    at(7.4, "host: how often was the first episode fetched?", [&] {
        say("audio server: " + std::to_string(server.requestCount("episode-1")) +
            " request(s) for the first episode (its second play comes from the disk cache)");
    });
    at(9.6, "listener: pauses in the widget", [&] {
        inPage("window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_PAUSE' })");
    });
    at(10.0, "host: done", [&] {
        say("audio server: " + std::to_string(server.requestCount("episode-1")) +
            " request(s) for the first episode over its two plays");
        loop.stop();
    });

    loop.run();

    statusTimer->invalidate();
    server.stop();
    std::cout << "demo: the host's window with the chip over it is in " << snapshotPath.string() << std::endl;
    if (wavPath) {
        platform::media::AudioOutput::configure({});  // closes the file
        std::cout << "demo: what the listener would have heard is in " << wavPath->string() << std::endl;
    }
    platform::core::setDebugSink({});
    std::error_code ec;
    std::filesystem::remove_all(documents, ec);
    return 0;
}
