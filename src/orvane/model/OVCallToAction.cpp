#include "orvane/model/OVCallToAction.hpp"

#include "orvane/model/Decoding.hpp"

namespace orvane {

std::string_view headerLabel(OVListType type) { return rawValue(type); }

std::string_view itemLabel(OVListType type) {
    switch (type) {
        case OVListType::episode: return "Épisode";
        case OVListType::chapitre: return "Chapitre";
    }
    return {};
}

std::string_view moreItemsLabel(OVListType type) {
    switch (type) {
        case OVListType::episode: return "Plus d'épisodes";
        case OVListType::chapitre: return "Plus de chapitres";
    }
    return {};
}

OVCallToAction OVCallToAction::decode(const platform::core::Json& json) {
    const auto& object = decoding::object(json);
    OVCallToAction cta;
    cta.type = decoding::required<OVCtaType>(object, "type");
    cta.text = decoding::ifPresent<std::string>(object, "label");
    cta.destination = decoding::ifPresent<std::string>(object, "destinationUrl");
    cta.applePodcast = decoding::ifPresent<std::string>(object, "applPodcastUrl");
    cta.googlePodcast = decoding::ifPresent<std::string>(object, "googlePodcastUrl");
    return cta;
}

}  // namespace orvane
