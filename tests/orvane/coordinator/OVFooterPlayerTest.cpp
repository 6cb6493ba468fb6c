// The footer player made from its nib, with its state manager given states
// as the bridge delivers them: what reaches the bar's interactor for each
// sequence of states (only what changed, in order); the records the real
// interactor makes and the bar applies (colours, texts, buttons, equalizer,
// progress, also for an episode of no duration); and taps reaching the
// delegate.
#include <gtest/gtest.h>

#include <charconv>
#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVFooterPlayer.hpp"
#include "orvane/coordinator/OVFooterPlayerModelInteractor.hpp"
#include "orvane/coordinator/OVFooterPlayerStateManager.hpp"
#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/Json.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/ContentBuilders.hpp"
#include "support/TempDocuments.hpp"
#include "support/TouchDriver.hpp"

namespace {

using namespace orvane;
using platform::core::Json;
using platform::graphics::Color;
using Calls = std::vector<std::string>;
namespace content = testsupport::content;

std::string text(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

// One widget state: a podcast `content` whose one episode `track` (titled
// `title`, of `duration` seconds) the location names at `time`, a theme with
// `mainColor`, and a player with `status`. No track: the location names none.
struct S {
    std::optional<std::string> track = "ep-1";
    std::string title = "Episode 1";
    std::string content = "pod-a";
    std::optional<std::string> status = "paused";
    std::optional<double> time = 0;
    double duration = 120;
    std::string mainColor = "#FF0000";
};

Json state(const S& s) {
    Json location{{"content", {{"key", s.content}, {"loading", false}}}, {"theme", {{"mainColor", s.mainColor}}}};
    if (s.track) {
        Json track{{"key", *s.track}};
        if (s.time) track["currentTime"] = *s.time;
        location["track"] = track;
    }
    Json player{{"locationKey", "main"}, {"muted", false}, {"closed", false}, {"readMore", false}};
    if (s.status) player["playingStatus"] = *s.status;
    Json episode{{"key", s.track.value_or("ep-1")},
                 {"title", s.title},
                 {"episode", 1},
                 {"publicationDate", "2026-01-05T08:00:00.000Z"},
                 {"selected", true},
                 {"audio", {{"audioSrc", "http://127.0.0.1/audio/ep.mp3"}, {"trackDuration", s.duration}}}};
    return Json{{"contents",
                 {{s.content,
                   {{"key", s.content},
                    {"title", "Podcast"},
                    {"type", "podcast"},
                    {"tracks", Json::array({episode})}}}}},
                {"locations", {{"main", location}}},
                {"player", player}};
}

// As the bridge does: one state, kept as the last state and handed to the
// observers.
void deliver(const std::shared_ptr<const OVState>& decoded) {
    OVWidgetManager::shared().setLastState(decoded);
    OVWidgetManager::shared().dispatch(decoded);
}
void deliver(const S& s) { deliver(std::make_shared<const OVState>(OVState::decode(state(s)))); }

// Records what the bar hands its interactor, one line per call.
class RecordingInteractor : public OVFooterPlayerModelInteractorInput {
public:
    void update(const OVTheme& theme, const Color& color) override {
        calls.push_back(std::string("style ") + (theme == OVTheme::light ? "light " : "dark ") + text(color.red) +
                        "," + text(color.green) + "," + text(color.blue));
    }
    void update(const OVTrack& episode, const OVContent& podcast) override {
        calls.push_back("media " + episode.key() + " in " + podcast.identifier);
    }
    void update(OVAudioPlayerStatus status) override {
        calls.push_back(std::string("status ") + std::string(rawValue(status)));
    }
    void update(const OVAudioPosition& position) override {
        calls.push_back("position " + text(position.time) + "/" + text(position.duration));
    }
    Calls calls;
};

class OVFooterPlayerTest : public ::testing::Test {
protected:
    void SetUp() override {
        platform::core::RunLoop::main().useManualClock();
        installLayerHooks();
    }

    static std::shared_ptr<OVFooterPlayer> makeBar() {
        return platform::ui::NibRegistry::shared().instantiateFirst<OVFooterPlayer>(
            std::string(OVFooterPlayer::NibName));
    }
    // A bar whose calls into its interactor are recorded.
    static std::pair<std::shared_ptr<OVFooterPlayer>, std::shared_ptr<RecordingInteractor>> recordedBar() {
        auto bar = makeBar();
        auto recorder = std::make_shared<RecordingInteractor>();
        if (bar) bar->setInteractor(recorder);
        return {bar, recorder};
    }

    testsupport::TempDocuments documents_;
};

const std::string kRed = "style light 1,0,0";

class Delegate : public OVFooterPlayerDelegate {
public:
    void didTapPlay() override { calls.push_back("play"); }
    void didTapPause() override { calls.push_back("pause"); }
    void didTapFooterPlayer() override { calls.push_back("open"); }
    void didTogglePlayPause() override { calls.push_back("toggle"); }
    Calls calls;
};

TEST_F(OVFooterPlayerTest, FromItsNibConnectedAndFollowingTheBridgeOnce) {
    // A state the bridge had before the bar existed is not applied.
    deliver(S{});
    auto [bar, recorder] = recordedBar();
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->frame().size, (platform::graphics::Size{375, 88}));
    for (const auto& outlet :
         {std::static_pointer_cast<platform::ui::View>(bar->ovimageView()), bar->imageOverlay(),
          std::static_pointer_cast<platform::ui::View>(bar->equalizerAnimationView()),
          std::static_pointer_cast<platform::ui::View>(bar->progressView()),
          std::static_pointer_cast<platform::ui::View>(bar->episodeLabel()),
          std::static_pointer_cast<platform::ui::View>(bar->podcastLabel()),
          std::static_pointer_cast<platform::ui::View>(bar->playButton()),
          std::static_pointer_cast<platform::ui::View>(bar->pauseButton()),
          std::static_pointer_cast<platform::ui::View>(bar->openMainPageButton())}) {
        ASSERT_TRUE(outlet);
        EXPECT_EQ(outlet->superview().get(), bar.get());
    }
    EXPECT_EQ(bar->ovimageView()->imageContentMode(), platform::ui::ContentMode::scaleAspectFill);
    EXPECT_EQ(bar->imageOverlay()->backgroundColor(), (Color{0, 0, 0, 0.5}));
    EXPECT_TRUE(bar->imageOverlay()->clipsToBounds());
    EXPECT_EQ(bar->equalizerAnimationView()->color(), Color::white());
    EXPECT_TRUE(recorder->calls.empty());
    ASSERT_TRUE(bar->stateManager());
    EXPECT_EQ(bar->stateManager()->view(), bar);

    // Exactly one manager follows the bridge for this bar: one delivery, one
    // set of pushes.
    deliver(S{.status = "playing", .mainColor = "#0000FF"});
    EXPECT_EQ(recorder->calls, (Calls{"style light 0,0,1", "media ep-1 in pod-a", "status playing", "position 0/120"}));

    // The bridge's last state applied on request, as if delivered: nothing new.
    recorder->calls.clear();
    bar->stateManager()->updateWithCurrentState();
    EXPECT_TRUE(recorder->calls.empty());
}

TEST_F(OVFooterPlayerTest, StateSequencesPushOnlyWhatChangedInOrder) {
    const Calls first{kRed, "media ep-1 in pod-a", "status paused", "position 0/120"};
    auto then = [&](Calls more) {
        Calls all = first;
        all.insert(all.end(), more.begin(), more.end());
        return all;
    };
    struct Case {
        const char* name;
        std::vector<S> states;
        Calls calls;
    };
    const std::vector<Case> cases{
        {"the first state pushes all it carries", {S{}}, first},
        {"an equal state pushes nothing", {S{}, S{}}, first},
        {"a new main colour: style; the rest compared on its own",
         {S{}, S{.time = 5, .mainColor = "#00FF00"}},
         then({"style light 0,1,0", "position 5/120"})},
        {"same episode key, another podcast: the episode with the new podcast",
         {S{}, S{.content = "pod-b"}},
         then({"media ep-1 in pod-b"})},
        {"the same episode key with another title is not pushed", {S{}, S{.title = "Renamed"}}, first},
        {"another episode", {S{}, S{.track = "ep-2"}}, then({"media ep-2 in pod-a"})},
        {"a dropped episode, then the same one back, is pushed again",
         {S{}, S{.track = std::nullopt}, S{}},
         then({"media ep-1 in pod-a", "position 0/120"})},
        {"the same time with a new duration", {S{}, S{.duration = 60}}, then({"position 0/60"})},
        {"a position that disappears pushes nothing", {S{}, S{.time = std::nullopt}}, first},
        {"paused twice pushes once; dropped, then back, pushes again",
         {S{}, S{}, S{.status = std::nullopt}, S{}},
         then({"status paused"})},
        {"status changes",
         {S{}, S{.status = "loading"}, S{.status = "playing"}},
         then({"status loading", "status playing"})},
        {"no status and no track at first: only style",
         {S{.track = std::nullopt, .status = std::nullopt}},
         {kRed}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto [bar, recorder] = recordedBar();
        ASSERT_TRUE(bar);
        for (const auto& s : c.states) deliver(s);
        EXPECT_EQ(recorder->calls, c.calls);
    }
}

TEST_F(OVFooterPlayerTest, TheStateManagerKeepsTheBridgesStateAndOutlivesItsBar) {
    auto [bar, recorder] = recordedBar();
    ASSERT_TRUE(bar);
    auto first = std::make_shared<const OVState>(OVState::decode(state(S{.status = "playing"})));
    const std::weak_ptr<const OVState> handed = first;
    deliver(first);
    OVWidgetManager::shared().setLastState(std::shared_ptr<const OVState>());
    first.reset();
    EXPECT_FALSE(handed.expired()) << "the manager holds the very state it was handed, not a copy";
    EXPECT_EQ(bar->stateManager()->lastUpdateState(), handed.lock());

    recorder->calls.clear();
    deliver(S{});
    EXPECT_TRUE(handed.expired());
    EXPECT_EQ(recorder->calls, Calls{"status paused"});

    // A manager whose bar is gone keeps recording and pushes nothing.
    const std::weak_ptr<OVFooterPlayerStateManager> manager = bar->stateManager();
    bar.reset();
    deliver(S{.status = "loading", .time = 9});
    ASSERT_FALSE(manager.expired()) << "the bridge keeps its observers";
    EXPECT_FALSE(manager.lock()->view());
    EXPECT_EQ(manager.lock()->lastUpdateState(), OVWidgetManager::shared().lastState());
    EXPECT_EQ(recorder->calls, Calls{"status paused"});
}

TEST_F(OVFooterPlayerTest, RecordsDriveTheLookButtonsEqualizerAndProgress) {
    auto bar = makeBar();
    ASSERT_TRUE(bar);
    for (const auto& look : content::looks()) {
        SCOPED_TRACE(look.name);
        bar->update(look.theme, look.mainColor);
        EXPECT_EQ(bar->backgroundColor(), look.theme.backgroundColor());
        EXPECT_EQ(bar->progressView()->progressTintColor(), look.mainColor);
        EXPECT_EQ(bar->progressView()->trackTintColor(), look.theme.maximumTrackTintColor());
        EXPECT_EQ(bar->playButton()->image(platform::ui::ControlState::normal), look.theme.playImage());
        EXPECT_EQ(bar->pauseButton()->image(platform::ui::ControlState::normal), look.theme.pauseImage());
        EXPECT_EQ(bar->episodeLabel()->textColor(), look.theme.color(OVTheme::FontColor::typeA));
        EXPECT_EQ(bar->podcastLabel()->textColor(), look.theme.color(OVTheme::FontColor::typeB));
    }

    struct StatusCase {
        OVAudioPlayerStatus status;
        bool playShown, pauseShown, animating;
    };
    const StatusCase statuses[] = {{OVAudioPlayerStatus::playing, false, true, true},
                                   {OVAudioPlayerStatus::paused, true, false, false},
                                   {OVAudioPlayerStatus::loading, false, true, false}};
    for (const auto& c : statuses) {
        SCOPED_TRACE(std::string(rawValue(c.status)));
        bar->update(c.status);
        EXPECT_EQ(!bar->playButton()->isHidden(), c.playShown);
        EXPECT_EQ(!bar->pauseButton()->isHidden(), c.pauseShown);
        const auto& bars = bar->equalizerAnimationView()->rectLayers();
        ASSERT_FALSE(bars.empty());
        EXPECT_EQ(!bars.front()->animationKeys().empty(), c.animating);
        EXPECT_FALSE(bar->equalizerAnimationView()->isHidden()) << "the bar never hides its equalizer";
    }

    // The progress is the time over the duration; a duration that is not
    // positive, or a quotient that is not finite, gives an empty bar.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    struct PositionCase {
        double time, duration;
        float progress;
    };
    const PositionCase positions[] = {{30, 120, 0.25f}, {0, 120, 0},  {120, 120, 1},   {10, 0, 0},
                                      {0, 0, 0},        {10, -5, 0},  {nan, 120, 0},   {10, nan, 0},
                                      {inf, 120, 0},    {1e39, 1, 0}, {12, inf, 0}};
    for (const auto& c : positions) {
        SCOPED_TRACE(text(c.time) + "/" + text(c.duration));
        const float value = OVFooterPlayerModelInteractor::progressValue({c.time, c.duration});
        EXPECT_TRUE(std::isfinite(value));
        EXPECT_EQ(value, c.progress);
        bar->update(OVAudioPosition{c.time, c.duration});
        EXPECT_EQ(bar->progressView()->progress(), c.progress);
    }
    bar->update(OVAudioPosition{90, 120});
    EXPECT_EQ(bar->progressView()->progress(), 0.75f);
    EXPECT_TRUE(bar->progressView()->layer()->animationKeys().empty()) << "set without animation";
}

TEST_F(OVFooterPlayerTest, TheEpisodeNeedsAThemeAndShowsItsTitleArtworkAndPodcast) {
    auto bar = makeBar();
    ASSERT_TRUE(bar);
    const auto episode = content::episode({.key = "e1", .title = "Night &amp; <b>Day</b>",
                                           .image = "http://127.0.0.1:1/art/e1.png"});
    const auto podcast = content::podcast({.key = "p1", .title = "Night Shift"});

    // Before any theme: nothing.
    bar->update(*episode, podcast);
    EXPECT_FALSE(bar->episodeLabel()->attributedText());
    EXPECT_FALSE(bar->ovimageView()->url());

    bar->update(OVTheme::dark, Color::plainRed());
    bar->update(*episode, podcast);
    const auto title = bar->episodeLabel()->attributedText();
    ASSERT_TRUE(title);
    EXPECT_EQ(title->string(), "Night & Day");
    const auto attributes = title->attributes(0);
    EXPECT_EQ(attributes.foregroundColor, OVTheme::dark.color(OVTheme::FontColor::typeA));
    ASSERT_TRUE(attributes.paragraphStyle);
    EXPECT_EQ(attributes.paragraphStyle->lineBreakMode, platform::ui::LineBreakMode::byTruncatingTail);
    EXPECT_EQ(bar->podcastLabel()->text(), "Night Shift");
    ASSERT_TRUE(bar->ovimageView()->url());
    EXPECT_EQ(bar->ovimageView()->url()->absoluteString(), "http://127.0.0.1:1/art/e1.png");

    // No description: the podcast label is cleared; an image text that is not
    // an address leaves the artwork without one.
    const auto undescribed = content::podcast({.key = "p2", .described = false});
    const auto badImage = content::episode({.key = "e2", .image = "not an address"});
    bar->update(*badImage, undescribed);
    EXPECT_EQ(bar->episodeLabel()->attributedText()->string(), "Episode e2");
    EXPECT_FALSE(bar->podcastLabel()->text().value_or("").size());
    EXPECT_FALSE(bar->ovimageView()->url());
}

TEST_F(OVFooterPlayerTest, TapsReachTheDelegate) {
    auto window = platform::ui::Window::create({375, 88}, 1);
    auto bar = makeBar();
    ASSERT_TRUE(bar);
    bar->setTranslatesAutoresizingMaskIntoConstraints(true);
    bar->setFrame({0, 0, 375, 88});
    window->addSubview(bar);
    bar->update(OVTheme::light, Color::plainRed());
    window->layoutIfNeeded();
    auto delegate = std::make_shared<Delegate>();
    bar->setDelegate(delegate);
    EXPECT_EQ(bar->delegate(), delegate);

    const auto centre = [&](const std::shared_ptr<platform::ui::View>& view) {
        const auto f = view->frame();
        return bar->convertPoint({f.midX(), f.midY()}, nullptr);
    };
    bar->update(OVAudioPlayerStatus::paused);
    testsupport::tap(*window, centre(bar->playButton()));
    bar->update(OVAudioPlayerStatus::playing);
    testsupport::tap(*window, centre(bar->pauseButton()));
    testsupport::tap(*window, centre(bar->episodeLabel()));
    testsupport::tap(*window, centre(bar->ovimageView()));
    EXPECT_EQ(delegate->calls, (Calls{"play", "pause", "open", "open"}));

    // A gone delegate is no delegate.
    delegate.reset();
    testsupport::tap(*window, centre(bar->pauseButton()));
    EXPECT_FALSE(bar->delegate());
}

}  // namespace
