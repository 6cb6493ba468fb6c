#include "orvane/elements/OVContentIdentityCellInteractor.hpp"

#include "orvane/elements/OVWebAddress.hpp"

namespace orvane {

using platform::graphics::Color;

void OVContentIdentityCellInteractor::update(const OVTheme& withTheme, const std::optional<Color>& andMainColor) {
    const OVContentIdentityCellModel::Style style{
        .backgroundColor = withTheme.backgroundColor(),
        .mainColor = andMainColor.value_or(Color::black()),
        .podcastTextColor = withTheme.color(OVTheme::FontColor::typeA),
        .editorTextColor = withTheme.color(OVTheme::FontColor::typeB),
    };
    if (auto view = view_.lock()) view->update(style);
}

void OVContentIdentityCellInteractor::update(const OVContent& withPodcast) {
    const auto& description = withPodcast.description;
    OVContentIdentityCellModel::ContentData data{
        .image = webURL(description ? description->image : std::nullopt, "podcast artwork"),
        .title = description ? description->title : std::nullopt,
        .subtitle = withPodcast.ownerName,
    };
    if (auto view = view_.lock()) view->update(data);
}

void OVContentIdentityCellInteractor::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (!withEpisode) return;
    const auto& episodeDescription = withEpisode->description();
    const auto& podcastDescription = inPodcast.description;
    std::optional<std::string> image = episodeDescription ? episodeDescription->image : std::nullopt;
    if (!image && podcastDescription) image = podcastDescription->image;
    OVContentIdentityCellModel::ContentData data{
        .image = webURL(image, "episode artwork"),
        .title = withEpisode->title(),
        .subtitle = podcastDescription ? podcastDescription->title : std::nullopt,
    };
    if (auto view = view_.lock()) view->update(data);
}

}  // namespace orvane
