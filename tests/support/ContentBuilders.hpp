// Test kit for the element and page tests: content built from a few values,
// with everything else filled in plausibly. Episodes, podcasts (with dated
// episodes, one a day back from the newest), the episodes that follow a
// current one, entries of the listener's library, calls to action, themes
// with their main colours, and dates counted from the run loop's clock.
// Header-only; main thread (the library is the shared one).
//
//   auto podcast = content::podcast({.key = "pod", .episodes = 3, .newest = content::daysAgo(1)});
//   content::fillLibrary({{.podcast = podcast, .subscribed = true}});
#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "orvane/model/DateExtensions.hpp"
#include "orvane/model/OVCallToAction.hpp"
#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/model/OVTheme.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "platform/core/Date.hpp"
#include "platform/graphics/Color.hpp"

namespace testsupport::content {

using platform::core::Date;

inline constexpr double day = 24 * 60 * 60;

// Local midnight of a "yyyy-MM-dd" day.
inline Date date(std::string_view yyyyMMdd) {
    const auto parsed = orvane::fromString(yyyyMMdd);
    EXPECT_TRUE(parsed) << yyyyMMdd;
    return parsed.value_or(Date{});
}

// `days` (whole or not) before the run loop clock's now.
inline Date daysAgo(double days) { return Date::now().addingTimeInterval(-days * day); }

struct Episode {
    std::string key = "episode";
    std::string title{};                      // "Episode <key>" when empty
    std::optional<Date> publicationDate{};    // none: undated
    std::optional<std::int64_t> number{};
    std::optional<std::string> description{};  // HTML; "<p>About <title>.</p>" when none
    std::optional<std::string> image{};       // "https://media.example.com/art/<key>.jpg" when none
    std::optional<std::string> audio{};       // "https://media.example.com/audio/<key>.mp3" when none
    double duration = 600;
    bool isDefault = false;
};

inline std::shared_ptr<orvane::OVTrack> episode(Episode spec) {
    const std::string title = spec.title.empty() ? "Episode " + spec.key : spec.title;
    return orvane::OVTrack::create(
        spec.key, title, spec.number,
        orvane::OVAudio{spec.audio.value_or("https://media.example.com/audio/" + spec.key + ".mp3"), spec.duration},
        orvane::OVObjDescription{title, spec.description.value_or("<p>About " + title + ".</p>"),
                                 spec.image.value_or("https://media.example.com/art/" + spec.key + ".jpg")},
        spec.publicationDate, spec.isDefault);
}

struct Podcast {
    std::string key = "podcast";
    std::string title{};           // "Podcast <key>" when empty; also the description's title
    bool described = true;         // false: no description at all
    std::optional<std::string> ownerName = "The Newsroom";
    std::optional<std::string> color = "#1A2B3C";
    // Episodes keyed "<key>-1" (the newest) to "<key>-<n>", one a day back
    // from `newest`, numbered from the oldest; undated when `newest` is none.
    int episodes = 0;
    std::optional<Date> newest{};
    // Added after the numbered ones.
    std::vector<std::shared_ptr<orvane::OVTrack>> tracks{};
    std::vector<orvane::OVCallToAction> ctas{};
};

inline orvane::OVContent podcast(Podcast spec) {
    orvane::OVContent content;
    content.identifier = spec.key;
    const std::string title = spec.title.empty() ? "Podcast " + spec.key : spec.title;
    content.title = title;
    if (spec.described) {
        content.description = orvane::OVObjDescription{title, "<p>Every week, a conversation about " + title + ".</p>",
                                                       "https://media.example.com/covers/" + spec.key + ".jpg"};
    }
    content.type = orvane::OVContentType::podcast;
    content.ownerName = spec.ownerName;
    content.color = spec.color;
    std::vector<std::shared_ptr<orvane::OVTrack>> tracks;
    for (int i = 1; i <= spec.episodes; ++i) {
        std::optional<Date> published;
        if (spec.newest) published = spec.newest->addingTimeInterval(-(i - 1) * day);
        tracks.push_back(episode({.key = spec.key + "-" + std::to_string(i),
                                  .publicationDate = published,
                                  .number = spec.episodes - i + 1}));
    }
    tracks.insert(tracks.end(), spec.tracks.begin(), spec.tracks.end());
    content.tracks = std::move(tracks);
    if (!spec.ctas.empty()) content.ctas = spec.ctas;
    return content;
}

// Each episode of the podcast paired with it, in the podcast's order: the
// recommendations that follow a current episode.
inline std::vector<orvane::OVTrackInPodcast> pairs(const orvane::OVContent& podcast) {
    std::vector<orvane::OVTrackInPodcast> list;
    for (const auto& track : podcast.tracks.value_or(std::vector<std::shared_ptr<orvane::OVTrack>>{}))
        list.emplace_back(track, podcast);
    return list;
}

inline orvane::OVCallToAction callToAction(orvane::OVCtaType type, std::optional<std::string> destination = {},
                                           std::optional<std::string> applePodcast = {},
                                           std::optional<std::string> text = "Learn more") {
    return orvane::OVCallToAction{type, std::move(text), std::move(destination), std::move(applePodcast), std::nullopt};
}

struct LibraryEntry {
    orvane::OVContent podcast;
    bool subscribed = false;
    bool notification = false;
    std::vector<std::shared_ptr<orvane::OVTrack>> savedEpisodes{};
    // The entry's last action; the library lists the latest first.
    Date lastAction = Date::now();
};

// Replaces the shared library with these entries.
inline void fillLibrary(const std::vector<LibraryEntry>& entries) {
    orvane::OVMock::UserData::Library library;
    for (const auto& e : entries) {
        library.insert_or_assign(e.podcast, orvane::OVMock::UserData::PodcastDataStructure(
                                                e.podcast.identifier, e.subscribed, e.notification,
                                                e.savedEpisodes, e.lastAction));
    }
    orvane::OVMock::UserData::shared().setLibrary(std::move(library));
}

// The looks a themed element is checked in: both themes, with a main colour
// each, and a name for SCOPED_TRACE and snapshot files.
struct Look {
    std::string name;
    orvane::OVTheme theme;
    platform::graphics::Color mainColor;
};

inline std::vector<Look> looks() {
    return {{"light", orvane::OVTheme::light, platform::graphics::Color{0.10, 0.35, 0.85, 1}},
            {"dark", orvane::OVTheme::dark, platform::graphics::Color{0.95, 0.45, 0.10, 1}}};
}

}  // namespace testsupport::content
