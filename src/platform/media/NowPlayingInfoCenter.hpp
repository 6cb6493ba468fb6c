// The now-playing information centre: the information about what is playing
// that the system shows on the lock screen and in its controls. The whole
// dictionary is replaced at each assignment; every assignment is observable
// (tests and the demo host watch them) and reaches the desktop's media
// controls when a session bus runs (MprisService). Main-thread only.
#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>
#include <variant>

#include "platform/core/Observable.hpp"
#include "platform/core/ObservationToken.hpp"
#include "platform/graphics/Image.hpp"

namespace platform::media {

struct ArtworkSize {
    double width = 0;
    double height = 0;
    friend bool operator==(const ArtworkSize&, const ArtworkSize&) = default;
};

// Artwork of the now-playing information: an image given for a requested size.
class MediaItemArtwork {
public:
    using RequestHandler = std::function<graphics::Image(ArtworkSize)>;

    // Artwork of newer systems: bounds and a handler asked for each size.
    MediaItemArtwork(ArtworkSize boundsSize, RequestHandler requestHandler);
    // Artwork of older systems: one image.
    explicit MediaItemArtwork(graphics::Image image);

    ArtworkSize bounds() const { return bounds_; }
    graphics::Image imageWithSize(ArtworkSize size) const;

private:
    ArtworkSize bounds_;
    RequestHandler handler_;
};

using NowPlayingValue = std::variant<std::string, double, MediaItemArtwork>;
using NowPlayingInfo = std::map<std::string, NowPlayingValue, std::less<>>;

// Keys of the now-playing dictionary.
namespace NowPlayingKey {
inline constexpr const char* title = "title";
inline constexpr const char* artwork = "artwork";
inline constexpr const char* playbackDuration = "playbackDuration";
inline constexpr const char* playbackRate = "playbackRate";
inline constexpr const char* elapsedPlaybackTime = "elapsedPlaybackTime";
}  // namespace NowPlayingKey

class NowPlayingInfoCenter {
public:
    static NowPlayingInfoCenter& defaultCenter();

    const std::optional<NowPlayingInfo>& nowPlayingInfo() const { return info_.get(); }
    void setNowPlayingInfo(std::optional<NowPlayingInfo> info);

    using Observer = std::function<void(const std::optional<NowPlayingInfo>& info)>;
    // Called after every assignment, with the information assigned.
    [[nodiscard]] core::ObservationToken observe(Observer observer);
    std::size_t assignmentCount() const { return assignments_; }

private:
    NowPlayingInfoCenter() = default;
    core::Observable<std::optional<NowPlayingInfo>> info_;
    std::size_t assignments_ = 0;
};

// Typed reads of a now-playing dictionary; none when absent or of another type.
std::optional<std::string> nowPlayingText(const NowPlayingInfo& info, std::string_view key);
std::optional<double> nowPlayingNumber(const NowPlayingInfo& info, std::string_view key);
const MediaItemArtwork* nowPlayingArtwork(const NowPlayingInfo& info);

}  // namespace platform::media
