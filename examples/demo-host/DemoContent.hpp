// The demo's content beyond the widget page's own podcasts: the podcasts the
// discover screen recommends and its lists of headline podcasts and
// episodes (widget/discover.json), and the artwork of every podcast and
// episode, drawn here and served by the demo's local server.
#pragma once

#include <filesystem>
#include <optional>

#include "DemoAudioServer.hpp"
#include "orvane/model/OVDiscoverRecommendations.hpp"
#include "platform/core/Json.hpp"

namespace demo {

// discover.json in `directory`: its podcasts ("contents", keyed like the
// widget's state) and what the discover screen lists ("headlines": podcast
// keys; "episodes": pairs of podcast and episode keys). None when it cannot
// be read.
std::optional<platform::core::Json> discoverContent(const std::filesystem::path& directory);

// Adds the discover podcasts to the widget's state, so that the widget
// knows, and plays, their episodes.
void addPodcasts(platform::core::Json& state, const platform::core::Json& discover);

// Draws the artwork of every podcast and episode of the state and has the
// server serve it; before the server starts.
void drawArtwork(const platform::core::Json& state, DemoAudioServer& server);
// Points each podcast's and episode's description at its artwork on the
// running server.
void linkArtwork(platform::core::Json& state, const DemoAudioServer& server);

// What the discover screen recommends: the podcasts and episodes that
// discover.json lists, taken from the state (so with their audio and
// artwork addresses); keys the state does not hold are left out.
orvane::OVDiscoverRecommendations discoverRecommendations(const platform::core::Json& state,
                                                          const platform::core::Json& discover);

}  // namespace demo
