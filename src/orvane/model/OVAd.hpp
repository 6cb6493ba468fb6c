// An audio ad: a media record with a waiting message, skip rules, an
// advertiser and calls to action. Shared by reference; built by decoding or
// by the sample ads; main thread after construction.
#pragma once

#include "orvane/model/OVCallToAction.hpp"
#include "orvane/model/OVMedia.hpp"

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace orvane {

class OVTrack;

class OVAd : public OVMedia {
public:
    static std::shared_ptr<OVAd> create(std::string identifier, OVAudio audio, OVObjDescription description,
                                        std::optional<std::vector<OVCallToAction>> ctas,
                                        std::string waitingMessage, bool isSkippable,
                                        std::optional<std::int64_t> skipDuration,
                                        std::optional<std::string> advertiser);
    // Throws DecodingError. "skipDuration", "advertiser" and "cta" must be
    // present, their values may be null; "id" is never read.
    static std::shared_ptr<OVAd> decode(const platform::core::Json& json);

    const std::string& waitingMessage() const { return waitingMessage_; }
    void setWaitingMessage(std::string message) { waitingMessage_ = std::move(message); }
    bool isSkippable() const { return isSkippable_; }
    void setIsSkippable(bool skippable) { isSkippable_ = skippable; }
    const std::optional<std::int64_t>& skipDuration() const { return skipDuration_; }
    void setSkipDuration(std::optional<std::int64_t> duration) { skipDuration_ = duration; }
    const std::optional<std::string>& advertiser() const { return advertiser_; }
    void setAdvertiser(std::optional<std::string> advertiser) { advertiser_ = std::move(advertiser); }
    const std::optional<std::vector<OVCallToAction>>& ctas() const { return ctas_; }
    void setCtas(std::optional<std::vector<OVCallToAction>> ctas) { ctas_ = std::move(ctas); }

    // Skippable, and either no skip duration or one strictly below `atTime`.
    bool adCanBeSkipped(double atTime) const;
    // Fills a missing description image from the track's description image;
    // an ad without a description, or with an image, is left alone.
    void useImage(const OVTrack& ofTrackIfNeeded);

    struct AdFields {
        std::string waitingMessage;
        bool isSkippable = false;
        std::optional<std::int64_t> skipDuration;
        std::optional<std::string> advertiser;
        std::optional<std::vector<OVCallToAction>> ctas;
    };
    OVAd(Token, MediaPart media, AdFields fields);

private:
    std::string waitingMessage_;
    bool isSkippable_ = false;
    std::optional<std::int64_t> skipDuration_;
    std::optional<std::string> advertiser_;
    std::optional<std::vector<OVCallToAction>> ctas_;
};

}  // namespace orvane
