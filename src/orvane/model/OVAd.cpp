#include "orvane/model/OVAd.hpp"

#include "orvane/model/Decoding.hpp"
#include "orvane/model/OVTrack.hpp"

namespace orvane {

OVAd::OVAd(Token token, MediaPart media, AdFields fields)
    : OVMedia(token, std::move(media)),
      waitingMessage_(std::move(fields.waitingMessage)),
      isSkippable_(fields.isSkippable),
      skipDuration_(fields.skipDuration),
      advertiser_(std::move(fields.advertiser)),
      ctas_(std::move(fields.ctas)) {}

std::shared_ptr<OVAd> OVAd::create(std::string identifier, OVAudio audio, OVObjDescription description,
                                   std::optional<std::vector<OVCallToAction>> ctas, std::string waitingMessage,
                                   bool isSkippable, std::optional<std::int64_t> skipDuration,
                                   std::optional<std::string> advertiser) {
    return std::make_shared<OVAd>(
        Token{}, MediaPart{std::move(identifier), std::move(audio), std::move(description)},
        AdFields{std::move(waitingMessage), isSkippable, skipDuration, std::move(advertiser), std::move(ctas)});
}

std::shared_ptr<OVAd> OVAd::decode(const platform::core::Json& json) {
    using namespace decoding;
    const auto& object = decoding::object(json);
    AdFields fields;
    fields.waitingMessage = required<std::string>(object, "waitingMsg");
    fields.isSkippable = required<bool>(object, "isSkippable");
    fields.skipDuration = requiredNullable<std::int64_t>(object, "skipDuration");
    fields.advertiser = requiredNullable<std::string>(object, "advertiser");
    fields.ctas = requiredNullable<std::vector<OVCallToAction>>(object, "cta");
    MediaPart media = decodeMediaPart(object);
    return std::make_shared<OVAd>(Token{}, std::move(media), std::move(fields));
}

bool OVAd::adCanBeSkipped(double atTime) const {
    if (!isSkippable_) return false;
    if (!skipDuration_) return true;
    return static_cast<double>(*skipDuration_) < atTime;
}

void OVAd::useImage(const OVTrack& ofTrackIfNeeded) {
    auto description = this->description();
    if (!description || description->image) return;
    const auto& trackDescription = ofTrackIfNeeded.description();
    description->image = trackDescription ? trackDescription->image : std::nullopt;
    setDescription(std::move(description));
}

}  // namespace orvane
