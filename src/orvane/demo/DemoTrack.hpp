// The one way the demo podcasts build their episodes: audio from an address
// and a whole-second duration, a description from heading, paragraph and
// artwork, a publication date from a "yyyy-MM-dd" day (local midnight), no
// episode number and no default flag. The download status is read from the
// disk cache as the episode is built. Runs on the caller's thread.
#pragma once

#include "orvane/model/OVTrack.hpp"

#include <memory>
#include <optional>
#include <string>

namespace orvane::demo {

struct TrackLiterals {
    std::string identifier;
    std::string title;
    std::string audio;
    double duration = 0;
    std::string heading;
    std::string paragraph;
    std::optional<std::string> artwork;
    std::string publicationDay;  // "yyyy-MM-dd"
};

std::shared_ptr<OVTrack> makeTrack(const TrackLiterals& literals);

}  // namespace orvane::demo
