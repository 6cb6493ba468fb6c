#include "orvane/elements/OVOpenPodcastTableViewCellInteractor.hpp"

#include "orvane/elements/OVWebAddress.hpp"

namespace orvane {

void OVOpenPodcastTableViewCellInteractor::update(const OVTheme& withTheme,
                                                  const std::optional<platform::graphics::Color>& /*andMainColor*/) {
    const OVOpenPodcastTableViewCellModel::Style style{
        .headerTextColor = withTheme.cellHeaderFontColor(),
        .podcastTextColor = withTheme.color(OVTheme::FontColor::typeA),
        .editorTextColor = withTheme.color(OVTheme::FontColor::typeB),
        .separatorColor = withTheme.separatorColor(),
    };
    if (auto view = view_.lock()) view->update(style);
}

void OVOpenPodcastTableViewCellInteractor::update(const OVContent& withPodcast) {
    const auto& description = withPodcast.description;
    OVOpenPodcastTableViewCellModel::Podcast podcast{
        .image = webURL(description ? description->image : std::nullopt, "podcast artwork"),
        .podcast = description ? description->title : std::nullopt,
        .editor = withPodcast.ownerName,
    };
    if (auto view = view_.lock()) view->update(podcast);
}

}  // namespace orvane
