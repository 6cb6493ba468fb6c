// One place of the widget on the publisher's page: the content it shows (and
// whether it is loading), the episode and playback time, the recommended
// contents and the chip's theme there. Plain values decoded on the decoding
// queue; thread-safe to read.
#pragma once

#include "orvane/widget/OVPlayer.hpp"
#include "platform/core/Json.hpp"

#include <optional>
#include <string>
#include <vector>

namespace orvane {

struct OVLocation {
    struct Content {
        std::string key;  // member name in the state's "contents"
        bool loading = false;

        Content() = default;
        Content(std::string key, bool loading) : key(std::move(key)), loading(loading) {}
        static Content decode(const platform::core::Json& json);
    };

    struct Track {
        std::optional<double> currentTime;  // seconds
        std::string key;                    // episode key within the current content

        Track() = default;
        Track(std::optional<double> currentTime, std::string key) : currentTime(currentTime), key(std::move(key)) {}
        static Track decode(const platform::core::Json& json);
    };

    struct Recommendations {
        std::vector<std::string> keys;  // member names in the state's "contents", in offer order

        Recommendations() = default;
        explicit Recommendations(std::vector<std::string> keys) : keys(std::move(keys)) {}
        static Recommendations decode(const platform::core::Json& json);
    };

    struct Theme {
        std::optional<OVThemePosition> position;  // "chipPosition"
        std::optional<OVThemeSize> size;          // "chipSize"
        std::optional<double> horizontalMargin;   // "chipHorizontalMargin"
        std::optional<double> verticalMargin;     // "chipVerticalMargin"
        std::optional<std::string> mainColor;     // "mainColor"

        Theme() = default;
        Theme(std::optional<OVThemePosition> position, std::optional<OVThemeSize> size,
              std::optional<double> horizontalMargin, std::optional<double> verticalMargin,
              std::optional<std::string> mainColor)
            : position(position),
              size(size),
              horizontalMargin(horizontalMargin),
              verticalMargin(verticalMargin),
              mainColor(std::move(mainColor)) {}
        static Theme decode(const platform::core::Json& json);
    };

    std::optional<Content> content;
    std::optional<Theme> theme;
    std::optional<Track> track;
    std::optional<Recommendations> recommendations;

    OVLocation() = default;
    OVLocation(std::optional<Content> content, std::optional<Theme> theme, std::optional<Track> track,
               std::optional<Recommendations> recommendations)
        : content(std::move(content)),
          theme(std::move(theme)),
          track(std::move(track)),
          recommendations(std::move(recommendations)) {}

    // Throws DecodingError; a present part must decode completely.
    static OVLocation decode(const platform::core::Json& json);
};

}  // namespace orvane
