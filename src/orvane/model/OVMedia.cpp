#include "orvane/model/OVMedia.hpp"

#include "orvane/model/Decoding.hpp"

namespace orvane {

OVMedia::OVMedia(Token, MediaPart part)
    : key_(std::move(part.key)), audio_(std::move(part.audio)), description_(std::move(part.description)) {}

std::shared_ptr<OVMedia> OVMedia::create(std::string key, OVAudio audio, OVObjDescription description) {
    return std::make_shared<OVMedia>(Token{}, MediaPart{std::move(key), std::move(audio), std::move(description)});
}

OVMedia::MediaPart OVMedia::decodeMediaPart(const decoding::Members& object) {
    MediaPart part;
    part.key = decoding::required<std::string>(object, "key");
    part.audio = decoding::required<OVAudio>(object, "audio");
    part.description = decoding::ifPresent<OVObjDescription>(object, "description");
    return part;
}

std::shared_ptr<OVMedia> OVMedia::decode(const platform::core::Json& json) {
    return std::make_shared<OVMedia>(Token{}, decodeMediaPart(decoding::object(json)));
}

}  // namespace orvane
