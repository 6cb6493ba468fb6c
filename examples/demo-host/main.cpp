// Demo host: embeds the component the way a host application would, against
// the reference widget page carrying demo content whose episodes a local HTTP
// server serves (short generated WAV files), and prints as it happens what
// the widget posts, the states the component receives, the scripts it sends
// back (events included), the audio player's status changes and the server's
// requests. The component's own audio player plays, through the sound server
// when one answers: the first play streams the episode through the caching
// item, the second play of the same episode comes from the disk cache, so the
// server sees no second request. Meanwhile the listener opens the player
// from the chip, drags it to full screen, pages through its screens, opens
// a podcast's page and an episode's page from the discover screen, follows
// two podcasts (which the library screen then lists) and flicks the player
// away; the host draws each step, and the side panel the player becomes in a
// window 1024 points wide, into PNG files. Ends by itself after about twenty
// seconds.
//
// The discover screen recommends what the host supplies through the facade:
// podcasts of its own content (widget/discover.json), which the widget's
// state carries too, so that their episodes play. Every podcast and episode
// has artwork, drawn by the host and served by its local server.
//
// Where a display exists (and the GTK host adapter was built), the host's
// window is a real one instead: the listener opens the player from the chip,
// drags and pages with the pointer, selects an episode and hears it; the
// widget's side of the story runs as above, nothing is drawn into files, and
// the demo ends when the window is closed. --headless forces the story
// without a window.
//
// It uses only what any host has: the facade and the headers the package
// installs (the host API), and its own copies of a widget page's script and
// of the demo content (widget/ beside this file). All it prints comes from
// the component's public observation points: the web view's observer
// (messages and scripts), the facade's state observers and player status.
//
//   orvane-demo-host [--verbose] [--wav FILE] [--headless]
//     --verbose    also prints the component's debug output on standard error
//     --wav FILE   writes what the listener would have heard to FILE instead
//     --headless   runs the story without a window even where a display exists
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
#include <vector>

#include "DemoAudioServer.hpp"
#include "DemoContent.hpp"
#include "DemoWindow.hpp"
#include "orvane/coordinator/Orvane.hpp"
#include "orvane/widget/OVObserver.hpp"
#include "orvane/widget/OVWebView.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/FileManager.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using platform::core::Json;
using platform::core::RunLoop;

// The demo's own copies of the widget page's script and of the demo content.
const std::filesystem::path kWidgetDirectory = ORVANE_DEMO_WIDGET_DIR;

double startTime = 0;

std::string stamp() {
    char text[32];
    std::snprintf(text, sizeof text, "[%5.2fs] ", RunLoop::main().now() - startTime);
    return text;
}

void say(const std::string& line) { std::cout << stamp() << line << std::endl; }

std::string seconds(double value) {
    char text[32];
    std::snprintf(text, sizeof text, "%g", value);
    return text;
}

// ---- demo content as the widget's state ----

// Two podcasts of two episodes each, as the widget's state (each episode's
// audio address is the demo server's, added once it runs); none when the
// file cannot be read.
std::optional<Json> demoState() {
    const auto bytes = platform::core::FileManager::readFile(kWidgetDirectory / "demo-state.json");
    if (!bytes) return std::nullopt;
    Json state = Json::parse(bytes->begin(), bytes->end(), nullptr, false);
    if (!state.is_object() || !state["contents"].is_object()) return std::nullopt;
    return state;
}

// The keys of the state's episodes, in order.
std::vector<std::string> episodeKeys(const Json& state) {
    std::vector<std::string> keys;
    for (const auto& [_, content] : state["contents"].items()) {
        for (const auto& track : content["tracks"]) keys.push_back(track["key"].get<std::string>());
    }
    return keys;
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
            line += " position=" + seconds(position->time) + "/" + seconds(position->duration) + " s";
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

// An article page, drawn as blocks: a coloured header with the paper's
// name, a headline and a few paragraphs, laid out for a phone of 390 by 844
// points.
std::shared_ptr<platform::ui::ViewController> articleController() {
    using namespace platform::ui;
    auto controller = ViewController::create();
    auto view = controller->view();
    view->setBackgroundColor(Color{0.97, 0.96, 0.93, 1});
    auto block = [&](const Rect& frame, const Color& color) {
        auto b = View::create(frame);
        b->setBackgroundColor(color);
        b->layer()->setCornerRadius(frame.height() < 30 ? frame.height() / 2 : 0);
        view->addSubview(b);
        return b;
    };
    // The header spans the window at any width.
    block({0, 0, 390, 103}, Color{0.18, 0.44, 0.58, 1})->setAutoresizingMask(AutoresizingMask::flexibleWidth);
    block({20, 66, 250, 20}, Color{1, 1, 1, 0.9});         // the paper's name
    block({20, 127, 350, 24}, Color{0.1, 0.1, 0.12, 1});   // headline, two lines
    block({20, 159, 240, 24}, Color{0.1, 0.1, 0.12, 1});
    double y = 207;
    for (int paragraph = 0; paragraph < 3; ++paragraph) {
        for (int line = 0; line < 5; ++line) {
            const double width = line == 4 ? 180 + 40 * paragraph : 350;
            block({20, y + line * 22, width, 12}, Color{0.25, 0.25, 0.28, 0.55});
        }
        y += 136;
    }
    return controller;
}

}  // namespace

int main(int argc, char** argv) {
    bool verbose = false;
    bool headless = false;
    std::optional<std::filesystem::path> wavPath;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--verbose") == 0) {
            verbose = true;
        } else if (std::strcmp(argv[i], "--headless") == 0) {
            headless = true;
        } else if (std::strcmp(argv[i], "--wav") == 0 && i + 1 < argc) {
            wavPath = std::filesystem::absolute(argv[++i]);
        } else {
            std::cerr << "usage: orvane-demo-host [--verbose] [--wav FILE] [--headless]" << std::endl;
            return 2;
        }
    }
    const bool inWindow = !headless && demo::windowAvailable();
    auto& component = orvane::Orvane::shared();
    if (wavPath) component.setAudioFile(*wavPath);

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
        RunLoop::main().async([path] { say("audio server: GET " + path); });
    });
    auto state = demoState();
    if (!state) {
        std::cerr << "demo: cannot read " << (kWidgetDirectory / "demo-state.json").string() << std::endl;
        return 1;
    }
    // The discover screen's podcasts join the widget's; every podcast and
    // episode has its artwork on the server.
    const auto discover = demo::discoverContent(kWidgetDirectory);
    if (discover) demo::addPodcasts(*state, *discover);
    demo::drawArtwork(*state, server);
    const auto keys = episodeKeys(*state);
    std::map<std::string, std::string> episodeNames;
    for (std::size_t index = 0; index < keys.size(); ++index) {
        const std::string name = "episode-" + std::to_string(index + 1);
        episodeNames[keys[index]] = name;
        // In a window the listener needs time to pause, drag and seek.
        server.addEpisode(name, inWindow ? 30.0 : index == 0 ? 4.0 : 3.0);
    }
    if (keys.empty() || !server.start()) {
        std::cerr << "demo: cannot start the audio server on 127.0.0.1" << std::endl;
        return 1;
    }
    for (auto& [_, content] : (*state)["contents"].items()) {
        for (auto& track : content["tracks"]) {
            track["audio"]["audioSrc"] = server.episodeURL(episodeNames[track["key"].get<std::string>()]);
        }
    }
    demo::linkArtwork(*state, server);
    if (discover) component.setDiscoverRecommendations(demo::discoverRecommendations(*state, *discover));
    const std::string firstEpisode = keys.front();

    auto printer = std::make_shared<StatePrinter>();
    component.addStateObserver(printer);

    // The host's window and its root view controller, over which the
    // component lays its chip.
    auto window = platform::ui::Window::create({390, 844}, 2);
    window->setSafeAreaInsets({47, 0, 34, 0});
    auto article = articleController();
    window->setRootViewController(article);
    component.setConfiguration(orvane::OVConfigurations("demo-api-key", std::nullopt, {0, 0}));
    component.setRootController(article);
    const auto snapshotPath = std::filesystem::absolute("orvane-demo-window.png");
    // The pictures of the player the listener opens from the chip.
    const std::vector<std::pair<std::string, std::string>> playerPictures{
        {"preview", "the bottom sheet at its preview height"},
        {"main", "full screen, the main screen"},
        {"discover", "full screen, the discover screen"},
        {"podcast", "full screen, a podcast's page on the discover screen"},
        {"episode", "full screen, an episode's page on the discover screen"},
        {"library", "full screen, the library screen"},
        {"side-panel", "the side panel in a window 1024 points wide"},
    };
    auto picturePath = [](const std::string& name) {
        return std::filesystem::absolute("orvane-demo-" + name + ".png");
    };

    say("host: starting the component");
    component.start();  // no web view yet: its "PLAYER_OPEN" goes nowhere

    say("host: loading the widget page with demo content");
    auto webView = orvane::OVWebView::create();
    auto watcher = std::make_shared<PageWatcher>();
    webView->setObserver(watcher);
    webView->loadHTMLString(pageHTML(*state), kWidgetDirectory);

    auto& loop = RunLoop::main();
    auto at = [&](double when, std::string what, std::function<void()> action) {
        loop.asyncAt(startTime + when, [what = std::move(what), action = std::move(action)] {
            say(what);
            action();
        });
    };
    // What the listener does on the window, and what the host draws of it:
    // scripted without a real window only (in one, the listener does it).
    auto story = [&](double when, std::string what, std::function<void()> action) {
        if (!inWindow) at(when, std::move(what), std::move(action));
    };
    auto inPage = [&](const std::string& script) { webView->evaluateJavaScript(script); };
    auto selectFirstEpisode = [&] {
        inPage("window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_SELECT_TRACK', payload: { key: " +
               Json(firstEpisode).dump() + " } })");
    };

    // The player the component presents over the article, and its top edge.
    auto player = [&] { return article->presentedViewController(); };
    auto playerTop = [&] {
        const auto shown = player();
        return shown ? shown->view()->convertPoint({0, 0}, nullptr).y : window->bounds().height();
    };

    // The audio player's status, printed as it changes, and in a window where
    // the presented player's top edge settles (what a listener aims at);
    // looked at every 50 ms.
    std::string lastStatus = "none";
    std::optional<double> lastTop, shownTop;
    bool watching = true;
    std::function<void()> watchStatus = [&] {
        if (!watching) return;
        const auto current = component.playerStatus();
        const std::string status = current ? std::string(orvane::rawValue(*current)) : "none";
        if (status != lastStatus) {
            say("audio player: status " + status);
            lastStatus = status;
        }
        if (inWindow) {
            const auto top = player() ? std::optional<double>(playerTop()) : std::nullopt;
            if (top == lastTop && top != shownTop) {
                say(top ? "host: the player's top is at " + seconds(*top) : "host: no player is presented");
                shownTop = top;
            }
            lastTop = top;
        }
        loop.asyncAfter(0.05, [&] { watchStatus(); });
    };
    watchStatus();

    at(1.9, "host: the web view injects its state listener at 2 s and prints the result (nil: no error)", [] {});
    at(2.3, std::string("listener: taps the first episode in the widget (") + (inWindow ? "30" : "4") + " s of audio)",
       selectFirstEpisode);
    story(4.6, "host: draws its window, the chip over the article, into a PNG file", [&] {
        const auto image = window->snapshot();
        if (image && image->writePng(snapshotPath)) {
            say("host: the window is in " + snapshotPath.string());
        } else {
            say("host: could not write " + snapshotPath.string());
        }
    });
    if (inWindow) {
        at(4.6, "host: shows its window, the chip over the article", [&] {
            const auto& views = article->view()->subviews();
            if (views.empty()) return;
            const auto frame = views.back()->frame();
            say("host: the chip is at " + seconds(frame.midX()) + " " + seconds(frame.midY()));
        });
    }
    // The listener's finger on the window: taps, and drags of `steps`
    // moves over `duration` seconds, from where the container stands then.
    using platform::graphics::Point;
    using platform::ui::TouchPhase;
    // Where the listener taps on the player's pages at full screen, from the
    // player's top edge (the window 390 points wide).
    constexpr Point kBackButton{22, 22};
    constexpr Point kFirstHeadline{180, 205};
    constexpr Point kSecondHeadline{382, 205};
    constexpr Point kSubscribeButton{87, 326};
    constexpr Point kFirstEpisodeDetails{136, 636};
    auto tapAt = [&](Point point) {
        window->sendTouch(1, TouchPhase::began, point);
        window->sendTouch(1, TouchPhase::ended, point);
    };
    auto dragFrom = [&](Point from, Point to, double duration, int steps) {
        window->sendTouch(1, TouchPhase::began, from);
        for (int i = 1; i <= steps; ++i) {
            const double f = static_cast<double>(i) / steps;
            const Point p{from.x + (to.x - from.x) * f, from.y + (to.y - from.y) * f};
            loop.asyncAfter(duration * f, [&window, p, last = i == steps] {
                window->sendTouch(1, TouchPhase::moved, p);
                if (last) window->sendTouch(1, TouchPhase::ended, p);
            });
        }
    };
    auto tapChip = [&] {
        // The chip is the component's view laid over the article, on top.
        const auto& views = article->view()->subviews();
        if (views.empty()) return;
        const auto frame = views.back()->frame();
        tapAt({frame.midX(), frame.midY()});
    };
    auto picture = [&](const std::string& name) {
        const auto path = picturePath(name);
        const auto image = window->snapshot();
        say(image && image->writePng(path) ? "host: drew the window into " + path.string()
                                           : "host: could not write " + path.string());
    };
    // Paging: a horizontal drag across the screens' navigation bar, at the
    // player's top.
    auto page = [&](bool forward) {
        const double y = playerTop() + 22;
        dragFrom(forward ? Point{300, y} : Point{90, y}, forward ? Point{60, y} : Point{330, y}, 0.2, 8);
    };

    story(5.0, "listener: taps the chip; the component presents its player as a bottom sheet", tapChip);
    story(6.2, "host: draws the preview", [&] { picture("preview"); });
    story(6.4, "listener: drags the sheet up to full screen by its handle", [&] {
        // The handle stands just above the sheet's top edge.
        const double top = playerTop();
        dragFrom({195, top - 20}, {195, top - 620}, 0.3, 10);
    });
    story(7.0, "listener: picks the same episode again in the widget", selectFirstEpisode);
    story(7.8, "host: draws the main screen", [&] { picture("main"); });
    story(8.0, "listener: pages to the discover screen", [&] { page(true); });
    story(9.0, "host: draws the discover screen", [&] { picture("discover"); });
    // On the discover screen: the first headline podcast's page, where the
    // listener subscribes and opens an episode, then back; then the second
    // headline podcast's page, subscribed to as well.
    const auto inPlayer = [&](Point point) { tapAt({point.x, playerTop() + point.y}); };
    story(9.2, "listener: taps the first headline podcast; its page is pushed", [&] { inPlayer(kFirstHeadline); });
    story(10.0, "host: draws the podcast page", [&] { picture("podcast"); });
    story(10.2, "listener: taps the details of the podcast's first episode; its page is pushed",
          [&] { inPlayer(kFirstEpisodeDetails); });
    story(11.0, "host: draws the episode page", [&] { picture("episode"); });
    story(11.2, "listener: goes back to the podcast page", [&] { inPlayer(kBackButton); });
    story(11.8, "listener: subscribes to the podcast", [&] { inPlayer(kSubscribeButton); });
    story(12.4, "listener: goes back to the discover screen", [&] { inPlayer(kBackButton); });
    story(13.0, "listener: taps the second headline podcast; its page is pushed", [&] { inPlayer(kSecondHeadline); });
    story(13.8, "listener: subscribes to that podcast too", [&] { inPlayer(kSubscribeButton); });
    story(14.4, "listener: goes back to the discover screen", [&] { inPlayer(kBackButton); });
    story(15.0, "listener: pages back to the main screen", [&] { page(false); });
    story(15.8, "listener: pages on to the library screen", [&] { page(false); });
    story(17.0, "host: draws the library screen", [&] { picture("library"); });
    story(17.2, "listener: flicks the player down and away", [&] { dragFrom({195, 300}, {195, 800}, 0.12, 6); });
    story(18.4, "host: its window becomes 1024 points wide (regular width)", [&] {
        window->setSize({1024, 768});
        window->setSafeAreaInsets({20, 0, 20, 0});
        window->layoutIfNeeded();
    });
    story(18.6, "listener: taps the chip; at regular width the player is a side panel", tapChip);
    story(19.8, "host: draws the side panel", [&] { picture("side-panel"); });
    at(7.4, "host: how often was the first episode fetched?", [&] {
        say("audio server: " + std::to_string(server.requestCount("episode-1")) +
            " request(s) for the first episode (its second play comes from the disk cache)");
    });
    story(9.6, "listener: pauses in the widget", [&] {
        inPage("window.__orvaneGlobal__.store.dispatch({ type: 'PLAYER_PAUSE' })");
    });
    at(20.1, "host: done", [&] {
        say("audio server: " + std::to_string(server.requestCount("episode-1")) +
            " request(s) for the first episode over its two plays");
        // In a window the listener goes on as long as it likes, and still
        // aims at the player's top edge: the watch goes on until it closes.
        if (!inWindow) {
            watching = false;
            loop.stop();
        }
    });

    if (inWindow) {
        say("host: its window is open; close it to end the demo");
        demo::runInWindow(window, "Orvane demo", {});
    } else {
        loop.run();
    }

    server.stop();
    if (!inWindow) {
        std::cout << "demo: the host's window with the chip over it is in " << snapshotPath.string() << std::endl;
        for (const auto& [name, what] : playerPictures) {
            std::cout << "demo: " << what << " is in " << picturePath(name).string() << std::endl;
        }
    }
    if (wavPath) {
        component.setAudioFile(std::nullopt);  // closes the file
        std::cout << "demo: what the listener would have heard is in " << wavPath->string() << std::endl;
    }
    platform::core::setDebugSink({});
    std::error_code ec;
    std::filesystem::remove_all(documents, ec);
    return 0;
}
