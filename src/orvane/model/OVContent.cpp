#include "orvane/model/OVContent.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/playback/OVCacheManager.hpp"

namespace orvane {

OVContent OVContent::decode(const platform::core::Json& json) {
    using namespace decoding;
    const auto& object = decoding::object(json);
    // Every episode asks the disk cache whether it is downloaded: one look at it.
    OVAudioCache::PresenceSnapshot snapshot;
    OVContent content;
    content.identifier = required<std::string>(object, "key");
    content.title = ifPresent<std::string>(object, "title");
    content.description = ifPresent<OVObjDescription>(object, "description");
    content.ctas = ifPresent<std::vector<OVCallToAction>>(object, "ctaList");
    content.type = ifPresent<OVContentType>(object, "type");
    content.ownerEmail = ifPresent<std::string>(object, "ownerEmail");
    content.ownerName = ifPresent<std::string>(object, "ownerName");
    content.author = ifPresent<std::string>(object, "author");
    content.color = ifPresent<std::string>(object, "mainColor");
    content.isSponsored = ifPresent<bool>(object, "displaySponsoredContentLabel");
    content.trackMode = ifPresent<OVTrackMode>(object, "trackListMode");
    content.listHeaderLabel = ifPresent<std::string>(object, "trackListLabel");
    content.poweredByLabel = ifPresent<std::string>(object, "poweredByLabel");
    content.tracks = ifPresent<std::vector<std::shared_ptr<OVTrack>>>(object, "tracks");
    content.advertiser = ifPresent<std::string>(object, "advertiser");
    return content;
}

std::shared_ptr<OVTrack> OVContent::selectedTrack() const {
    if (!tracks) return nullptr;
    for (const auto& track : *tracks) {
        if (track && track->isDefault()) return track;
    }
    auto sortedTracks = OVTrack::sorted(tracks);
    if (!sortedTracks || sortedTracks->empty()) return nullptr;
    return sortedTracks->front();
}

std::shared_ptr<OVTrack> OVContent::track(std::string_view withKey) const {
    if (!tracks) return nullptr;
    for (const auto& track : *tracks) {
        if (track && track->key() == withKey) return track;
    }
    return nullptr;
}

std::optional<OVListType> OVContent::listType() const {
    if (!listHeaderLabel) return std::nullopt;
    return fromRawValue<OVListType>(*listHeaderLabel);
}

}  // namespace orvane
