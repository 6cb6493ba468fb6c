// One content of the widget's state (a podcast, brand, book or other), with
// its texts, colour, labels, calls to action and episodes.
//
// Value type built by decoding the widget's state. Its episodes are shared
// objects: copying a content copies the list, not the episodes. Equality and
// hashing use `identifier` alone, so two versions of one content land on the
// same map entry. Decoded on the decoding queue, read on the main thread.
#pragma once

#include "orvane/model/OVCallToAction.hpp"
#include "orvane/model/OVObjDescription.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/RawEnum.hpp"
#include "platform/core/Json.hpp"

#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace orvane {

enum class OVContentType { podcast, brand, book, other };

template <>
struct EnumTraits<OVContentType> {
    static constexpr std::array<std::pair<OVContentType, std::string_view>, 4> table{{
        {OVContentType::podcast, "podcast"},
        {OVContentType::brand, "brand"},
        {OVContentType::book, "book"},
        {OVContentType::other, "other"},
    }};
};

enum class OVTrackMode { horizontal, vertical };

template <>
struct EnumTraits<OVTrackMode> {
    static constexpr std::array<std::pair<OVTrackMode, std::string_view>, 2> table{{
        {OVTrackMode::horizontal, "horizontal"},
        {OVTrackMode::vertical, "vertical"},
    }};
};

struct OVContent {
    std::string identifier;                                      // "key"
    std::optional<std::string> title;                            // "title"
    std::optional<OVObjDescription> description;                 // "description"
    std::optional<OVContentType> type;                           // "type"
    std::optional<std::vector<OVCallToAction>> ctas;             // "ctaList"
    std::optional<std::string> ownerEmail;                       // "ownerEmail"
    std::optional<std::string> ownerName;                        // "ownerName"
    std::optional<std::string> author;                           // "author"
    std::optional<std::string> color;                            // "mainColor"
    std::optional<bool> isSponsored;                             // "displaySponsoredContentLabel"
    std::optional<OVTrackMode> trackMode;                        // "trackListMode"
    std::optional<std::string> listHeaderLabel;                  // "trackListLabel"
    std::optional<std::string> poweredByLabel;                   // "poweredByLabel"
    std::optional<std::vector<std::shared_ptr<OVTrack>>> tracks;  // "tracks"
    std::optional<std::string> advertiser;                       // "advertiser"

    // Throws DecodingError; one failing call to action or episode fails it.
    static OVContent decode(const platform::core::Json& json);

    // The first episode flagged default; else the earliest by publication
    // date (none when the dates cannot be compared or there are no episodes).
    std::shared_ptr<OVTrack> selectedTrack() const;
    // The first episode whose key equals `withKey` exactly.
    std::shared_ptr<OVTrack> track(std::string_view withKey) const;
    // The list kind named by `listHeaderLabel`.
    std::optional<OVListType> listType() const;

    friend bool operator==(const OVContent& a, const OVContent& b) { return a.identifier == b.identifier; }
};

}  // namespace orvane

template <>
struct std::hash<orvane::OVContent> {
    std::size_t operator()(const orvane::OVContent& content) const noexcept {
        return std::hash<std::string>{}(content.identifier);
    }
};
