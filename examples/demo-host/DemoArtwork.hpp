// The demo's artwork, drawn here rather than fetched: square PNG images in a
// podcast's main colour, a cover per podcast (its initial and title over
// soft circles) and a picture per episode (hills under a sun, varied by the
// episode's number).
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace demo {

// `color` is "#RRGGBB" (grey when it is not); `side` in pixels.
std::vector<std::uint8_t> drawPodcastCover(const std::string& title, const std::string& color, int side = 400);
std::vector<std::uint8_t> drawEpisodeArtwork(const std::string& color, int number, int side = 400);

}  // namespace demo
