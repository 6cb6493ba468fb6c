// The base record of every playable item (episode, ad): its key, its audio
// and its optional description. Shared by reference (std::shared_ptr): the
// widget's last state, pages and the user library hold the same objects.
// Decoded on the decoding queue, then read and written on the main thread.
#pragma once

#include "orvane/model/OVAudio.hpp"
#include "orvane/model/OVObjDescription.hpp"
#include "platform/core/Json.hpp"

#include <memory>
#include <optional>
#include <string>

namespace orvane {

namespace decoding {
class Members;
}

class OVMedia : public std::enable_shared_from_this<OVMedia> {
public:
    static std::shared_ptr<OVMedia> create(std::string key, OVAudio audio, OVObjDescription description);
    // Throws DecodingError.
    static std::shared_ptr<OVMedia> decode(const platform::core::Json& json);

    virtual ~OVMedia() = default;
    OVMedia(const OVMedia&) = delete;
    OVMedia& operator=(const OVMedia&) = delete;

    const std::string& key() const { return key_; }
    void setKey(std::string key) { key_ = std::move(key); }
    const OVAudio& audio() const { return audio_; }
    void setAudio(OVAudio audio) { audio_ = std::move(audio); }
    const std::optional<OVObjDescription>& description() const { return description_; }
    void setDescription(std::optional<OVObjDescription> description) { description_ = std::move(description); }

protected:
    // Restricts construction to create/decode and the derived records.
    struct Token {
        explicit Token() = default;
    };
    struct MediaPart {
        std::string key;
        OVAudio audio;
        std::optional<OVObjDescription> description;
    };
    // "key" (required text), "audio" (required object), "description" (optional).
    static MediaPart decodeMediaPart(const decoding::Members& object);

public:
    OVMedia(Token, MediaPart part);

private:
    std::string key_;
    OVAudio audio_;
    std::optional<OVObjDescription> description_;
};

}  // namespace orvane
