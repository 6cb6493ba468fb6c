// Builds realistic widget states (the JSON body of "stateUpdate") of any
// size for tests and benchmarks: contents with dated episodes, locations with
// content, track, recommendations and theme, and a player pointing at one
// location. Header-only; deterministic for given settings.
//
//   auto body = orvane::test::StateBuilder().contents(40).tracksPerContent(8).build();
//   auto small = orvane::test::StateBuilder::small();      // about 1.4 KB of JSON text
//   auto typical = orvane::test::StateBuilder::typical();  // about 10 KB
//   auto large = orvane::test::StateBuilder::large();      // about 200 KB
#pragma once

#include "platform/core/Json.hpp"

#include <cstdio>
#include <optional>
#include <string>

namespace orvane::test {

class StateBuilder {
public:
    using Json = platform::core::Json;

    StateBuilder& contents(int count) { contents_ = count; return *this; }
    StateBuilder& tracksPerContent(int count) { tracks_ = count; return *this; }
    StateBuilder& locations(int count) { locations_ = count; return *this; }
    StateBuilder& recommendationsPerLocation(int count) { recommendations_ = count; return *this; }
    // Index of the location the player serves (none when negative).
    StateBuilder& currentLocation(int index) { current_ = index; return *this; }
    StateBuilder& playingStatus(std::string status) { status_ = std::move(status); return *this; }
    StateBuilder& currentTime(double seconds) { time_ = seconds; return *this; }

    static std::string contentKey(int index) { return "content-" + std::to_string(index); }
    static std::string trackKey(int content, int track) {
        return "ep-" + std::to_string(content) + "-" + std::to_string(track);
    }
    static std::string locationKey(int index) { return "location-" + std::to_string(index); }

    // One episode object; dates step back one day per episode from 2024-06-30.
    static Json track(int content, int index) {
        char date[40];
        const int day = 30 - (index % 28);
        const int month = 6 - (index / 28) % 5;
        std::snprintf(date, sizeof date, "2024-%02d-%02dT%02d:00:00.000%s", month, day, 6 + index % 12,
                      index % 2 ? "+02:00" : "Z");
        const std::string key = trackKey(content, index);
        return Json{{"key", key},
                    {"title", "Épisode " + std::to_string(index + 1) + " : une histoire du fleuve"},
                    {"episode", index + 1},
                    {"publicationDate", date},
                    {"selected", index == 0 && content % 3 == 0},
                    {"audio",
                     {{"audioSrc", "https://media.example.com/audio/" + key + ".mp3"},
                      {"trackDuration", 600.0 + 37.5 * index}}},
                    {"description",
                     {{"title", "Épisode " + std::to_string(index + 1)},
                      {"text", "<p>Un récit court, enregistré au bord de l'eau, avec nos invités.</p>"},
                      {"imgSrc", "https://media.example.com/art/" + key + ".jpg"}}}};
    }

    static Json content(int index, int tracks) {
        Json list = Json::array();
        for (int i = 0; i < tracks; ++i) list.push_back(track(index, i));
        const char* types[] = {"podcast", "brand", "book", "other"};
        return Json{{"key", contentKey(index)},
                    {"title", "Podcast " + std::to_string(index)},
                    {"description",
                     {{"title", "Podcast " + std::to_string(index)},
                      {"text", "<p>Chaque semaine, une conversation autour d'un thème.</p>"},
                      {"imgSrc", "https://media.example.com/covers/" + contentKey(index) + ".jpg"}}},
                    {"type", types[index % 4]},
                    {"ctaList",
                     Json::array({{{"type", "seemore"},
                                   {"label", "Voir plus"},
                                   {"destinationUrl", "https://www.example.com/" + contentKey(index)}}})},
                    {"ownerEmail", "contact@example.com"},
                    {"ownerName", "Rédaction"},
                    {"author", "Camille Martin"},
                    {"mainColor", "#1A2B3C"},
                    {"displaySponsoredContentLabel", index % 5 == 0},
                    {"trackListMode", index % 2 ? "horizontal" : "vertical"},
                    {"trackListLabel", "ÉPISODES"},
                    {"poweredByLabel", nullptr},
                    {"tracks", list},
                    {"advertiser", nullptr}};
    }

    Json build() const {
        Json contents = Json::object();
        for (int i = 0; i < contents_; ++i) contents[contentKey(i)] = content(i, tracks_);
        Json locations = Json::object();
        const char* positions[] = {"bottom_right", "bottom_left", "top_right", "top_left"};
        const char* sizes[] = {"normal", "small", "big"};
        for (int l = 0; l < locations_; ++l) {
            const int shown = contents_ ? l % contents_ : 0;
            Json location = Json::object();
            if (contents_) location["content"] = {{"key", contentKey(shown)}, {"loading", false}};
            if (contents_ && tracks_) {
                location["track"] = {{"key", trackKey(shown, 0)}};
                if (l == current_ && time_) location["track"]["currentTime"] = *time_;
            }
            Json keys = Json::array();
            for (int r = 1; r <= recommendations_ && contents_; ++r) keys.push_back(contentKey((shown + r) % contents_));
            location["recommendations"] = {{"keys", keys}};
            location["theme"] = {{"chipPosition", positions[l % 4]},
                                 {"chipSize", sizes[l % 3]},
                                 {"chipHorizontalMargin", 16},
                                 {"chipVerticalMargin", 24.5},
                                 {"mainColor", "#E4572E"}};
            locations[locationKey(l)] = location;
        }
        Json player = {{"playingStatus", status_}, {"muted", false}, {"closed", false}, {"readMore", false},
                       {"drawerState", "collapse"}};
        if (current_ >= 0 && current_ < locations_) player["locationKey"] = locationKey(current_);
        return Json{{"contents", contents}, {"locations", locations}, {"player", player}};
    }

    static Json small() {
        return StateBuilder().contents(1).tracksPerContent(1).locations(1).recommendationsPerLocation(0).build();
    }
    static Json typical() { return StateBuilder().contents(4).tracksPerContent(4).locations(2).build(); }
    static Json large() { return StateBuilder().contents(44).tracksPerContent(10).locations(6).build(); }

private:
    int contents_ = 3;
    int tracks_ = 3;
    int locations_ = 2;
    int recommendations_ = 2;
    int current_ = 0;
    std::string status_ = "playing";
    std::optional<double> time_ = 42.5;
};

}  // namespace orvane::test
