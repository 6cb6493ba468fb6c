#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/widget/OVState.hpp"
#include "platform/core/DebugPrint.hpp"
#include "support/FixtureFiles.hpp"
#include "support/StateBuilder.hpp"

#include <gtest/gtest.h>

#include <functional>

using namespace orvane;
using platform::core::DebugCapture;
using platform::core::Json;
using platform::graphics::Color;

namespace {

Json fixture() { return test::fixtureJson("state.json"); }

OVState decodeOrFail(const Json& body) {
    auto state = decodeValue<OVState>(body);
    EXPECT_TRUE(state.has_value());
    return state.value_or(OVState{});
}

std::vector<std::string> followingKeys(const OVState& state) {
    std::vector<std::string> out;
    for (const auto& item : state.followingTracks()) out.push_back(item.podcast.identifier + "/" + item.track->key());
    return out;
}

// Every text of a state, in a fixed order, to compare two decodings.
std::vector<std::string> texts(const OVState& state) {
    std::vector<std::string> out;
    auto add = [&](const std::optional<std::string>& text) { out.push_back(text.value_or("<none>")); };
    auto addDescription = [&](const std::optional<OVObjDescription>& description) {
        if (!description) return add(std::nullopt);
        add(description->title), add(description->text), add(description->image);
    };
    for (const auto& [key, content] : state.contentForKey.value_or(std::map<std::string, OVContent>{})) {
        out.push_back(key), out.push_back(content.identifier), add(content.title), add(content.color);
        add(content.ownerName), add(content.author), add(content.listHeaderLabel), addDescription(content.description);
        for (const auto& track : content.tracks.value_or(std::vector<std::shared_ptr<OVTrack>>{})) {
            out.push_back(track->key()), out.push_back(track->title()), add(track->audio().audio);
            addDescription(track->description());
        }
    }
    for (const auto& [key, location] : state.locationForKey.value_or(std::map<std::string, OVLocation>{})) {
        out.push_back(key);
        if (location.content) out.push_back(location.content->key);
        if (location.track) out.push_back(location.track->key);
        if (location.theme) add(location.theme->mainColor);
        if (location.recommendations) out.insert(out.end(), location.recommendations->keys.begin(), location.recommendations->keys.end());
    }
    if (state.player) add(state.player->locationKey);
    return out;
}

Color rgb(int r, int g, int b) { return Color{r / 255.0, g / 255.0, b / 255.0, 1.0}; }

}  // namespace

TEST(WidgetState, EveryGetterOnTheFixture) {
    OVState state = decodeOrFail(fixture());
    ASSERT_TRUE(state.contentForKey && state.locationForKey && state.player);
    EXPECT_EQ(state.contentForKey->size(), 4u);
    EXPECT_EQ(state.locationForKey->size(), 3u);

    auto location = state.location();
    ASSERT_TRUE(location);
    EXPECT_EQ(location->content->key, "pod-fleuve");
    EXPECT_FALSE(location->content->loading);

    auto theme = state.locationTheme();
    ASSERT_TRUE(theme);
    EXPECT_EQ(theme->position, OVThemePosition::bottomLeft);
    EXPECT_EQ(theme->size, OVThemeSize::big);
    EXPECT_EQ(OVConstants::OVChip::side(*theme->size), 61);
    EXPECT_EQ(theme->horizontalMargin, 16.0);
    EXPECT_EQ(theme->verticalMargin, 24.5);
    EXPECT_EQ(theme->mainColor, "#E4572E");

    EXPECT_EQ(state.theme(), OVTheme::light);
    EXPECT_EQ(state.mainColor(), rgb(0xE4, 0x57, 0x2E));

    auto content = state.currentContent();
    ASSERT_TRUE(content);
    EXPECT_EQ(content->identifier, "pod-fleuve");
    EXPECT_EQ(content->title, "Les Voix du Fleuve");

    auto track = state.currentTrack();
    ASSERT_TRUE(track);
    EXPECT_EQ(track->key(), "ep-2");
    EXPECT_EQ(track->title(), "Le delta");
    // The same episode object as in the content: one shared record.
    EXPECT_EQ(track.get(), (*state.contentForKey->at("pod-fleuve").tracks)[1].get());

    // pod-jardin has no episodes, brand-minute cannot order its dates; pod-fleuve
    // is not excluded and pod-cuisine comes twice.
    EXPECT_EQ(followingKeys(state), (std::vector<std::string>{"pod-cuisine/cu-1", "pod-fleuve/ep-1", "pod-cuisine/cu-1"}));

    EXPECT_EQ(state.audioPlayerStatus(), OVAudioPlayerStatus::playing);
    EXPECT_EQ(state.audioPosition(), (OVState::AudioPosition{312.5, 1500.0}));

    EXPECT_EQ(state.player->muted, false);
    EXPECT_EQ(state.player->readMore, true);
    EXPECT_EQ(state.player->drawerState, OVDrawerState::halfExpand);
}

TEST(WidgetState, EmptyObjectGivesAnEmptyState) {
    OVState state = decodeOrFail(Json::object());
    EXPECT_FALSE(state.contentForKey || state.locationForKey || state.player);
    EXPECT_FALSE(state.location() || state.locationTheme() || state.currentContent() || state.audioPlayerStatus() ||
                 state.audioPosition());
    EXPECT_EQ(state.currentTrack(), nullptr);
    EXPECT_TRUE(state.followingTracks().empty());
    EXPECT_EQ(state.theme(), OVTheme::light);
    EXPECT_EQ(state.mainColor(), Color::plainBlue());
}

TEST(WidgetState, SingleBreakagesDropTheWholeState) {
    const std::vector<std::pair<const char*, std::function<void(Json&)>>> breakages = {
        {"contents as array", [](Json& s) { s["contents"] = Json::array(); }},
        {"locations as text", [](Json& s) { s["locations"] = "none"; }},
        {"player as array", [](Json& s) { s["player"] = Json::array(); }},
        {"a content that is not current lacks its key", [](Json& s) { s["contents"]["pod-jardin"].erase("key"); }},
        {"a content has an unknown type", [](Json& s) { s["contents"]["pod-jardin"]["type"] = "Podcast"; }},
        {"an episode date lacks its fraction",
         [](Json& s) { s["contents"]["pod-cuisine"]["tracks"][1]["publicationDate"] = "2024-03-01T12:00:00Z"; }},
        {"an episode lacks its audio", [](Json& s) { s["contents"]["brand-minute"]["tracks"][0].erase("audio"); }},
        {"location content without loading", [](Json& s) { s["locations"]["article-bottom"]["content"].erase("loading"); }},
        {"location content loading as number", [](Json& s) { s["locations"]["article-bottom"]["content"]["loading"] = 0; }},
        {"location content not an object", [](Json& s) { s["locations"]["article-top"]["content"] = "pod-fleuve"; }},
        {"location track without key", [](Json& s) { s["locations"]["article-top"]["track"].erase("key"); }},
        {"location time as text", [](Json& s) { s["locations"]["article-top"]["track"]["currentTime"] = "312.5"; }},
        {"recommendations without keys", [](Json& s) { s["locations"]["article-bottom"]["recommendations"] = Json::object(); }},
        {"recommendation key that is a number", [](Json& s) { s["locations"]["article-top"]["recommendations"]["keys"].push_back(3); }},
        {"unknown chip position", [](Json& s) { s["locations"]["article-top"]["theme"]["chipPosition"] = "bottomLeft"; }},
        {"unknown chip size", [](Json& s) { s["locations"]["article-top"]["theme"]["chipSize"] = "large"; }},
        {"margin as text", [](Json& s) { s["locations"]["article-top"]["theme"]["chipHorizontalMargin"] = "16"; }},
        {"colour as number", [](Json& s) { s["locations"]["article-bottom"]["theme"]["mainColor"] = 0x123456; }},
        {"a location that is not an object", [](Json& s) { s["locations"]["sidebar"] = true; }},
        {"capitalised playing status", [](Json& s) { s["player"]["playingStatus"] = "Playing"; }},
        {"unknown drawer state", [](Json& s) { s["player"]["drawerState"] = "closed"; }},
        {"muted as number", [](Json& s) { s["player"]["muted"] = 1; }},
        {"location key as number", [](Json& s) { s["player"]["locationKey"] = 5; }},
    };
    for (const auto& [name, breakIt] : breakages) {
        Json body = fixture();
        breakIt(body);
        DebugCapture capture;
        EXPECT_FALSE(decodeValue<OVState>(body).has_value()) << name;
        EXPECT_EQ(capture.lines().size(), 1u) << name;
    }
}

TEST(WidgetState, MissingOrNullPartsNeverFail) {
    const std::vector<std::pair<const char*, std::function<void(Json&)>>> harmless = {
        {"contents null", [](Json& s) { s["contents"] = nullptr; }},
        {"player null", [](Json& s) { s["player"] = nullptr; }},
        {"theme null", [](Json& s) { s["locations"]["article-top"]["theme"] = nullptr; }},
        {"time null", [](Json& s) { s["locations"]["article-top"]["track"]["currentTime"] = nullptr; }},
        {"whole-number time", [](Json& s) { s["locations"]["article-top"]["track"]["currentTime"] = 300; }},
        {"empty player", [](Json& s) { s["player"] = Json::object(); }},
        {"extra members everywhere",
         [](Json& s) {
             s["player"]["volume"] = 0.5;
             s["locations"]["sidebar"]["extra"] = Json::array();
             s["locations"]["article-top"]["theme"]["font"] = "serif";
         }},
    };
    for (const auto& [name, change] : harmless) {
        Json body = fixture();
        change(body);
        EXPECT_TRUE(decodeValue<OVState>(body).has_value()) << name;
    }
}

TEST(WidgetState, GetterEdgeCases) {
    {  // a player location key naming no location: nothing derived, plain blue
        Json body = fixture();
        body["player"]["locationKey"] = "nowhere";
        OVState state = decodeOrFail(body);
        EXPECT_FALSE(state.location() || state.currentContent() || state.locationTheme() || state.audioPosition());
        EXPECT_EQ(state.currentTrack(), nullptr);
        EXPECT_EQ(state.mainColor(), Color::plainBlue());
        EXPECT_TRUE(state.followingTracks().empty());
        EXPECT_EQ(state.audioPlayerStatus(), OVAudioPlayerStatus::playing);
    }
    {  // a location content key naming no content: no content, no episode
        Json body = fixture();
        body["locations"]["article-top"]["content"]["key"] = "pod-absent";
        OVState state = decodeOrFail(body);
        EXPECT_TRUE(state.location());
        EXPECT_FALSE(state.currentContent());
        EXPECT_EQ(state.currentTrack(), nullptr);
        EXPECT_FALSE(state.audioPosition());
    }
    {  // a track key matching no episode: no fallback to the default episode
        Json body = fixture();
        body["player"]["locationKey"] = "article-bottom";
        body["locations"]["article-bottom"]["track"] = {{"key", "cu-9"}, {"currentTime", 10}};
        OVState state = decodeOrFail(body);
        EXPECT_EQ(state.currentContent()->identifier, "pod-cuisine");
        EXPECT_EQ(state.currentContent()->selectedTrack()->key(), "cu-1");
        EXPECT_EQ(state.currentTrack(), nullptr);
        EXPECT_FALSE(state.audioPosition());
    }
    {  // member names, not the keys inside the content objects, are looked up
        Json body = fixture();
        body["contents"]["alias"] = body["contents"]["pod-cuisine"];
        body["contents"].erase("pod-cuisine");
        body["locations"]["article-top"]["recommendations"]["keys"] = {"pod-cuisine", "alias"};
        OVState state = decodeOrFail(body);
        EXPECT_EQ(followingKeys(state), std::vector<std::string>{"pod-cuisine/cu-1"});
    }
    {  // a time beyond the duration is passed on unchanged; no duration, no position
        Json body = fixture();
        body["locations"]["article-top"]["track"]["currentTime"] = 99999.25;
        EXPECT_EQ(decodeOrFail(body).audioPosition(), (OVState::AudioPosition{99999.25, 1500.0}));
        body["locations"]["article-top"]["track"]["key"] = "ep-3";
        EXPECT_FALSE(decodeOrFail(body).audioPosition());
        body["locations"]["article-top"]["track"].erase("currentTime");
        body["locations"]["article-top"]["track"]["key"] = "ep-2";
        EXPECT_FALSE(decodeOrFail(body).audioPosition());
    }
    {  // colour rules: hex text, non-hex text (grey), absent (blue)
        Json body = fixture();
        body["locations"]["article-top"]["theme"]["mainColor"] = "#1A2B3C";
        EXPECT_EQ(decodeOrFail(body).mainColor(), rgb(0x1A, 0x2B, 0x3C));
        body["player"]["locationKey"] = "article-bottom";  // "teal"
        EXPECT_EQ(decodeOrFail(body).mainColor(), rgb(0x99, 0x99, 0x99));
        body["player"]["locationKey"] = "sidebar";  // no theme
        EXPECT_EQ(decodeOrFail(body).mainColor(), Color::plainBlue());
        body["player"]["locationKey"] = "article-top";
        body["locations"]["article-top"]["theme"].erase("mainColor");
        EXPECT_EQ(decodeOrFail(body).mainColor(), Color::plainBlue());
    }
}

TEST(WidgetState, RecommendationKeysRepeatAndSkip) {
    Json body = {{"contents",
                  {{"a", {{"key", "a"},
                          {"tracks", Json::array({{{"key", "a1"}, {"title", "A1"}, {"episode", nullptr},
                                                   {"publicationDate", nullptr}, {"selected", true}, {"audio", Json::object()}}})}}},
                   {"b", {{"key", "b"}}}}},
                 {"locations", {{"l", {{"recommendations", {{"keys", {"a", "b", "a", "zzz"}}}}}}}},
                 {"player", {{"locationKey", "l"}}}};
    OVState state = decodeOrFail(body);
    EXPECT_EQ(followingKeys(state), (std::vector<std::string>{"a/a1", "a/a1"}));
    EXPECT_EQ(state.currentContent(), std::nullopt);
}

TEST(WidgetState, BuiltStatesDecodeAndPointAtTheirCurrentLocation) {
    auto body = test::StateBuilder().contents(6).tracksPerContent(5).locations(4).currentLocation(2).currentTime(75).build();
    OVState state = decodeOrFail(body);
    EXPECT_EQ(state.contentForKey->size(), 6u);
    EXPECT_EQ(state.location()->content->key, test::StateBuilder::contentKey(2));
    EXPECT_EQ(state.currentTrack()->key(), test::StateBuilder::trackKey(2, 0));
    EXPECT_EQ(state.audioPosition()->time, 75.0);
    EXPECT_EQ(state.followingTracks().size(), 2u);
    EXPECT_TRUE(decodeValue<OVState>(test::StateBuilder::typical()).has_value());
    EXPECT_TRUE(decodeValue<OVState>(test::StateBuilder::large()).has_value());
}

// A body handed over to the decoding gives its strings to the state: the state
// is the one a kept body gives.
TEST(WidgetState, HandedOverBodiesDecodeAsKeptOnes) {
    for (const Json& body : {fixture(), test::StateBuilder::typical(), test::StateBuilder().contents(2).locations(3).build()}) {
        const auto kept = decodeValue<OVState>(body);
        ASSERT_TRUE(kept.has_value());
        Json copy = body;
        const auto handedOver = decodeValue<OVState>(std::move(copy));
        ASSERT_TRUE(handedOver.has_value());
        const auto expected = texts(*kept);
        EXPECT_GT(expected.size(), 10u);
        EXPECT_EQ(texts(*handedOver), expected);
        EXPECT_EQ(kept->audioPosition(), handedOver->audioPosition());
    }
}
