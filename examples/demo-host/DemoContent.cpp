#include "DemoContent.hpp"

#include <string>

#include "DemoArtwork.hpp"
#include "platform/core/FileManager.hpp"

namespace demo {

using platform::core::Json;

namespace {

std::string text(const Json& object, const char* key) {
    const auto it = object.find(key);
    return it != object.end() && it->is_string() ? it->get<std::string>() : std::string();
}

// The member, or null when the object lacks it.
const Json& member(const Json& object, const char* key) {
    static const Json none;
    if (!object.is_object()) return none;
    const auto it = object.find(key);
    return it == object.end() ? none : *it;
}

std::string podcastImage(const std::string& podcastKey) { return "podcast-" + podcastKey; }
std::string episodeImage(const std::string& podcastKey, const std::string& episodeKey) {
    return "episode-" + podcastKey + "-" + episodeKey;
}

// The podcast decoded from the state, none when it is missing or does not
// decode.
std::optional<orvane::OVContent> podcast(const Json& state, const std::string& key) {
    const auto& contents = member(state, "contents");
    if (!contents.is_object()) return std::nullopt;
    const auto it = contents.find(key);
    if (it == contents.end()) return std::nullopt;
    try {
        return orvane::OVContent::decode(*it);
    } catch (const std::exception&) {
        return std::nullopt;
    }
}

}  // namespace

std::optional<Json> discoverContent(const std::filesystem::path& directory) {
    const auto bytes = platform::core::FileManager::readFile(directory / "discover.json");
    if (!bytes) return std::nullopt;
    Json discover = Json::parse(bytes->begin(), bytes->end(), nullptr, false);
    if (!discover.is_object() || !discover["contents"].is_object()) return std::nullopt;
    return discover;
}

void addPodcasts(Json& state, const Json& discover) {
    for (const auto& [key, content] : member(discover, "contents").items()) state["contents"][key] = content;
}

void drawArtwork(const Json& state, DemoAudioServer& server) {
    for (const auto& [key, content] : member(state, "contents").items()) {
        const auto color = text(content, "mainColor");
        server.addImage(podcastImage(key), drawPodcastCover(text(content, "title"), color));
        int number = 0;
        for (const auto& track : member(content, "tracks")) {
            server.addImage(episodeImage(key, text(track, "key")),
                            drawEpisodeArtwork(color, ++number));
        }
    }
}

void linkArtwork(Json& state, const DemoAudioServer& server) {
    for (auto& [key, content] : state["contents"].items()) {
        content["description"]["imgSrc"] = server.imageURL(podcastImage(key));
        for (auto& track : content["tracks"]) {
            track["description"]["imgSrc"] = server.imageURL(episodeImage(key, text(track, "key")));
        }
    }
}

orvane::OVDiscoverRecommendations discoverRecommendations(const Json& state, const Json& discover) {
    orvane::OVDiscoverRecommendations recommendations;
    for (const auto& key : member(discover, "headlines")) {
        if (!key.is_string()) continue;
        if (auto content = podcast(state, key.get<std::string>())) recommendations.headlines.push_back(*content);
    }
    for (const auto& pair : member(discover, "episodes")) {
        if (!pair.is_object()) continue;
        auto content = podcast(state, text(pair, "podcast"));
        if (!content) continue;
        if (auto episode = content->track(text(pair, "episode"))) {
            recommendations.episodes.emplace_back(std::move(episode), std::move(*content));
        }
    }
    return recommendations;
}

}  // namespace demo
