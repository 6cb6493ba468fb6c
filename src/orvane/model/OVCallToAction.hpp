// Calls to action of a content ("ctaList") and the small enumerations the
// content and player records share: the call-to-action kind, the widget
// drawer's state and the kind of a content's episode list with its labels.
// Plain values; thread-safe.
#pragma once

#include "orvane/model/RawEnum.hpp"
#include "platform/core/Json.hpp"

#include <array>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <utility>

namespace orvane {

enum class OVCtaType { seemore, podcastplatform, link, other };

template <>
struct EnumTraits<OVCtaType> {
    static constexpr std::array<std::pair<OVCtaType, std::string_view>, 4> table{{
        {OVCtaType::seemore, "seemore"},
        {OVCtaType::podcastplatform, "podcastplatform"},
        {OVCtaType::link, "link"},
        {OVCtaType::other, "other"},
    }};
};

enum class OVDrawerState { collapse, halfExpand, fullExpand };

template <>
struct EnumTraits<OVDrawerState> {
    static constexpr std::array<std::pair<OVDrawerState, std::string_view>, 3> table{{
        {OVDrawerState::collapse, "collapse"},
        {OVDrawerState::halfExpand, "halfExpand"},
        {OVDrawerState::fullExpand, "fullExpand"},
    }};
};

// Named by the header label of a content's episode list (never decoded).
enum class OVListType { episode, chapitre };

template <>
struct EnumTraits<OVListType> {
    static constexpr std::array<std::pair<OVListType, std::string_view>, 2> table{{
        {OVListType::episode, "ÉPISODES"},
        {OVListType::chapitre, "CHAPITRES"},
    }};
};

// The raw value.
std::string_view headerLabel(OVListType type);
std::string_view itemLabel(OVListType type);
std::string_view moreItemsLabel(OVListType type);

struct OVCallToAction {
    OVCtaType type = OVCtaType::other;
    std::optional<std::string> text;           // "label"
    std::optional<std::string> destination;    // "destinationUrl"
    std::optional<std::string> applePodcast;   // "applPodcastUrl"
    std::optional<std::string> googlePodcast;  // "googlePodcastUrl"

    OVCallToAction() = default;
    OVCallToAction(OVCtaType type, std::optional<std::string> text, std::optional<std::string> destination,
                   std::optional<std::string> applePodcast, std::optional<std::string> googlePodcast)
        : type(type),
          text(std::move(text)),
          destination(std::move(destination)),
          applePodcast(std::move(applePodcast)),
          googlePodcast(std::move(googlePodcast)) {}

    // Throws DecodingError.
    static OVCallToAction decode(const platform::core::Json& json);
};

}  // namespace orvane
