#include "orvane/widget/OVLocation.hpp"

#include "orvane/model/Decoding.hpp"

namespace orvane {

OVLocation::Content OVLocation::Content::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    Content content;
    content.key = decoding::required<std::string>(object, "key");
    content.loading = decoding::required<bool>(object, "loading");
    return content;
}

OVLocation::Track OVLocation::Track::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    Track track;
    track.currentTime = decoding::ifPresent<double>(object, "currentTime");
    track.key = decoding::required<std::string>(object, "key");
    return track;
}

OVLocation::Recommendations OVLocation::Recommendations::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    Recommendations recommendations;
    recommendations.keys = decoding::required<std::vector<std::string>>(object, "keys");
    return recommendations;
}

OVLocation::Theme OVLocation::Theme::decode(const platform::core::Json& json) {
    using namespace decoding;
    const auto& object = decoding::object(json);
    Theme theme;
    theme.position = ifPresent<OVThemePosition>(object, "chipPosition");
    theme.size = ifPresent<OVThemeSize>(object, "chipSize");
    theme.horizontalMargin = ifPresent<double>(object, "chipHorizontalMargin");
    theme.verticalMargin = ifPresent<double>(object, "chipVerticalMargin");
    theme.mainColor = ifPresent<std::string>(object, "mainColor");
    return theme;
}

OVLocation OVLocation::decode(const platform::core::Json& json) {
    using namespace decoding;
    const auto& object = decoding::object(json);
    OVLocation location;
    location.content = ifPresent<Content>(object, "content");
    location.theme = ifPresent<Theme>(object, "theme");
    location.track = ifPresent<Track>(object, "track");
    location.recommendations = ifPresent<Recommendations>(object, "recommendations");
    return location;
}

}  // namespace orvane
