#include "orvane/coordinator/Orvane.hpp"

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/OVLayerHooks.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/playback/OVAudioPlayer.hpp"
#include "orvane/toolkit/ImageExtensions.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/NoDestructor.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/media/AudioOutput.hpp"
#include "platform/ui/controllers/ViewController.hpp"

namespace orvane {

Orvane& Orvane::shared() {
    static platform::core::NoDestructor<Orvane> instance{std::in_place, [] { return Orvane(); }};
    return *instance;
}

std::optional<OVAudioPlayerStatus> Orvane::playerStatus() const {
    if (!coordinator_ || !coordinator_->player()) return std::nullopt;
    return coordinator_->player()->status();
}

void Orvane::addStateObserver(std::shared_ptr<OVObserver> observer) {
    OVWidgetManager::shared().addObserver(std::move(observer));
}

void Orvane::setAudioFile(std::optional<std::filesystem::path> wavPath) {
    using platform::media::AudioOutput;
    AudioOutput::configure(wavPath ? AudioOutput::Configuration{AudioOutput::Kind::wavFile, std::move(*wavPath)}
                                   : AudioOutput::Configuration{});
}

Orvane::Orvane() {
    installLayerHooks();
    setConfig();
}

void Orvane::setConfigurations(std::optional<OVConfigurations> configurations) {
    configurations_ = std::move(configurations);
    // A record without an image keeps the artwork of the moment.
    if (configurations_ && configurations_->defaultImage) {
        setDefaultImage(configurations_->defaultImage);
    } else {
        setDefaultImage(defaultImage());
    }
}

void Orvane::setConfiguration(OVConfigurations configuration) { setConfigurations(std::move(configuration)); }

OVDiscoverRecommendations Orvane::discoverRecommendations() const {
    const auto& library = OVMock::UserData::shared();
    OVDiscoverRecommendations recommendations{library.recommendationsHeadlines(), {}};
    for (const auto& item : library.discoverRecommendations())
        recommendations.episodes.emplace_back(item.episode, item.inPodCast);
    return recommendations;
}

void Orvane::setDiscoverRecommendations(OVDiscoverRecommendations recommendations) {
    auto& library = OVMock::UserData::shared();
    std::vector<OVMock::UserData::DiscoverRecommendation> episodes;
    for (auto& item : recommendations.episodes) {
        if (item.track) episodes.push_back({std::move(item.track), std::move(item.podcast)});
    }
    library.setRecommendationsHeadlines(std::move(recommendations.headlines));
    library.setDiscoverRecommendations(std::move(episodes));
}

void Orvane::start() {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (coordinator_) coordinator_->quit();
    coordinator_ = OVCoordinator::create();
}

void Orvane::setConfig() {
    OVPage::config().navigationToMainPageLeftArrow = OVGetAsset::navigationLeftArrowButton();
    OVPage::config().navigationToMainPageRightArrow = OVGetAsset::navigationRightArrowButton();
}

}  // namespace orvane
