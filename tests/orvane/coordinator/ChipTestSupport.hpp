// Shared by the chip's tests: widget states in the reference widget's shape
// with a chosen location theme, status and position, and a chip that records
// what its state manager calls on it (in order) before doing it.
#pragma once

#include <charconv>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/coordinator/OVChip.hpp"
#include "orvane/model/RawEnum.hpp"
#include "platform/core/Json.hpp"
#include "platform/ui/controllers/ViewController.hpp"

namespace chiptest {

using platform::core::Json;

// Shortest text of a number: 49, 0.5, 12.25.
inline std::string text(double value) {
    char buffer[32];
    const auto end = std::to_chars(buffer, buffer + sizeof buffer, value).ptr;
    return std::string(buffer, end);
}

inline std::string text(const platform::graphics::Color& c) {
    return "rgba(" + text(c.red) + "," + text(c.green) + "," + text(c.blue) + "," + text(c.alpha) + ")";
}

// The chip's part of a location theme; absent members stay out of the JSON.
struct Theme {
    std::optional<std::string> position;  // "top_left"...
    std::optional<std::string> size;      // "small", "normal", "big"
    std::optional<double> horizontalMargin;
    std::optional<double> verticalMargin;
    std::string mainColor = "#1A2B3C";
};

// A state: one podcast with one episode of `duration` seconds, one location
// at `time` with the theme (none: no theme), and a player with `status`
// (none: no status).
inline Json state(std::optional<Theme> theme, std::optional<std::string> status = "paused", double time = 0,
                  double duration = 120) {
    Json location{{"content", {{"key", "demo-podcast"}, {"loading", false}}},
                  {"track", {{"key", "demo-episode-1"}, {"currentTime", time}}},
                  {"recommendations", {{"keys", Json::array()}}}};
    if (theme) {
        Json t{{"mainColor", theme->mainColor}};
        if (theme->position) t["chipPosition"] = *theme->position;
        if (theme->size) t["chipSize"] = *theme->size;
        if (theme->horizontalMargin) t["chipHorizontalMargin"] = *theme->horizontalMargin;
        if (theme->verticalMargin) t["chipVerticalMargin"] = *theme->verticalMargin;
        location["theme"] = t;
    }
    Json player{{"locationKey", "main"}, {"muted", false}, {"closed", false}, {"readMore", false}};
    if (status) player["playingStatus"] = *status;
    Json episode{{"key", "demo-episode-1"},
                 {"title", "Episode 1"},
                 {"episode", 1},
                 {"publicationDate", "2026-01-05T08:00:00.000Z"},
                 {"selected", true},
                 {"audio", {{"audioSrc", "http://127.0.0.1/audio/demo-episode-1.mp3"}, {"trackDuration", duration}}}};
    return Json{{"contents",
                 {{"demo-podcast",
                   {{"key", "demo-podcast"},
                    {"title", "Reference Podcast"},
                    {"type", "podcast"},
                    {"mainColor", "#1A2B3C"},
                    {"tracks", Json::array({episode})}}}}},
                {"locations", {{"main", location}}},
                {"player", player}};
}

// Records each call of the state manager as a line, then does it.
class RecordingChip : public orvane::OVChip {
public:
    explicit RecordingChip(ConstructorKey key) : OVChip(key) {}
    static std::shared_ptr<RecordingChip> create() {
        auto chip = std::make_shared<RecordingChip>(ConstructorKey{});
        chip->setUp();
        return chip;
    }

    void initialize(double side) override {
        calls.push_back("initialize " + text(side));
        OVChip::initialize(side);
    }
    void display(const std::shared_ptr<platform::ui::ViewController>& root, orvane::OVThemePosition position,
                 std::optional<double> vertical, std::optional<double> horizontal) override {
        auto margin = [](std::optional<double> m) { return m ? text(*m) : std::string("none"); };
        calls.push_back("display " + std::string(orvane::rawValue(position)) + " " + margin(vertical) + " " +
                        margin(horizontal));
        OVChip::display(root, position, vertical, horizontal);
    }
    void update(orvane::OVTheme theme, const platform::graphics::Color& color) override {
        calls.push_back("style " + std::string(orvane::rawValue(theme)) + " " + text(color));
        OVChip::update(theme, color);
    }
    void update(orvane::OVAudioPlayerStatus status) override {
        calls.push_back("status " + std::string(orvane::rawValue(status)));
        OVChip::update(status);
    }
    void update(const orvane::OVState::AudioPosition& position) override {
        calls.push_back("position " + text(position.time) + "/" +
                        text(position.duration));
        OVChip::update(position);
    }
    using OVChip::update;

    std::vector<std::string> calls;
};

}  // namespace chiptest
