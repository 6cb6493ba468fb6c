#include "orvane/elements/OVDiscoverRecommendationEpisodeCellInteractor.hpp"

#include "orvane/model/StringExtensions.hpp"

namespace orvane {

using platform::graphics::Color;
using Model = OVDiscoverRecommendationEpisodeCellModel;

void OVDiscoverRecommendationEpisodeCellInteractor::update(const OVTheme& withTheme, const Color& /*andMainColor*/) {
    const Model::Style style{.epdisodeTextColor = withTheme.color(OVTheme::FontColor::typeA),
                             .podcastTextColor = withTheme.color(OVTheme::FontColor::typeB)};
    if (const auto view = view_.lock()) view->update(style);
}

void OVDiscoverRecommendationEpisodeCellInteractor::update(const std::shared_ptr<OVTrack>& withEpisode,
                                                           const OVContent& inPodcast) {
    track_ = withEpisode;
    podcast_ = inPodcast;
    // The episode's artwork, else the podcast's.
    std::optional<std::string> imageText;
    if (withEpisode && withEpisode->description() && withEpisode->description()->image)
        imageText = withEpisode->description()->image;
    else if (inPodcast.description)
        imageText = inPodcast.description->image;
    Model::Data data;
    if (imageText) data.image = url(*imageText);
    if (withEpisode) data.epdisode = withEpisode->title();
    if (inPodcast.description) data.podcast = inPodcast.description->title;
    if (const auto view = view_.lock()) view->update(data);
}

void OVDiscoverRecommendationEpisodeCellInteractor::updateWithCurrentEpisode(
    const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) {
    const bool current = podcast_ && *podcast_ == inPodcast && track_ && withCurrentEpisode &&
                         *track_ == *withCurrentEpisode;
    const Model::CurrentTrack record{.imageOverlayIsHidden = !current, .equalizerAnimationViewIsHidden = !current};
    if (const auto view = view_.lock()) view->update(record);
}

void OVDiscoverRecommendationEpisodeCellInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    const Model::AudioStatus record{.equalizerAnimationsIsPlaying = withAudioStatus == OVAudioPlayerStatus::playing};
    if (const auto view = view_.lock()) view->update(record);
}

}  // namespace orvane
