#include "orvane/demo/MockModels.hpp"

namespace orvane {

namespace {
constexpr const char* sampleAdAudio = "https://redirect.example.net/r/podhost.example.org/ads/sample-spot.mp3";
constexpr const char* sampleAdvertiser = "Maison Exemple";
}  // namespace

const std::shared_ptr<OVAd>& MockModels::ad0() {
    static const std::shared_ptr<OVAd> ad = [] {
        std::string identifier = "2";
        OVAudio audio(sampleAdAudio, 662.0);
        OVObjDescription description("<b>Votre annonce ici</b>", "Texte ad",
                                     "https://podhost.example.org/ads/sample-spot.jpeg");
        std::string waitingMessage = "Publicité, votre contenu dans quelques secondes";
        std::string advertiser = sampleAdvertiser;
        return OVAd::create(std::move(identifier), std::move(audio), std::move(description), std::nullopt,
                            std::move(waitingMessage), true, 10, std::move(advertiser));
    }();
    return ad;
}

const std::shared_ptr<OVAd>& MockModels::ad1() {
    static const std::shared_ptr<OVAd> ad = [] {
        std::string identifier = "2";
        OVAudio audio(sampleAdAudio, 662.0);
        OVObjDescription description("MonTitleAdInObjDescription", "Mon text ad", std::nullopt);
        std::string advertiser = sampleAdvertiser;
        std::string waitingMessage = "Publicité, offerte par " + advertiser;
        return OVAd::create(std::move(identifier), std::move(audio), std::move(description), std::nullopt,
                            std::move(waitingMessage), true, 10, std::move(advertiser));
    }();
    return ad;
}

}  // namespace orvane
