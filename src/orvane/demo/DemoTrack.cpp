#include "orvane/demo/DemoTrack.hpp"

#include "orvane/model/DateExtensions.hpp"

namespace orvane::demo {

std::shared_ptr<OVTrack> makeTrack(const TrackLiterals& literals) {
    OVAudio audio(literals.audio, literals.duration);
    OVObjDescription description(literals.heading, literals.paragraph, literals.artwork);
    auto publicationDate = fromString(literals.publicationDay);
    return OVTrack::create(literals.identifier, literals.title, std::nullopt, std::move(audio), std::move(description),
                           publicationDate);
}

}  // namespace orvane::demo
