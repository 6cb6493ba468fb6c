#include "orvane/elements/OVRecommendationHeadlinesPodcastCellInteractor.hpp"

#include "orvane/model/StringExtensions.hpp"

namespace orvane {

using Model = OVRecommendationHeadlinesPodcastCellModel;

void OVRecommendationHeadlinesPodcastCellInteractor::update(
    const OVTheme& withTheme, const std::optional<platform::graphics::Color>& /*andMainColor*/) {
    const Model::Style style{.podcastTextColor = withTheme.color(OVTheme::FontColor::typeA),
                             .editorTextColor = withTheme.color(OVTheme::FontColor::typeB)};
    if (const auto view = view_.lock()) view->update(style);
}

void OVRecommendationHeadlinesPodcastCellInteractor::update(const OVContent& withPodcast) {
    Model::Data data;
    if (withPodcast.description) {
        if (withPodcast.description->image) data.image = url(*withPodcast.description->image);
        data.podcast = withPodcast.description->title;
    }
    data.editor = withPodcast.ownerName;
    if (const auto view = view_.lock()) view->update(data);
}

}  // namespace orvane
