#include "orvane/elements/OVLibraryPodcastCellInteractor.hpp"

#include "orvane/model/DateExtensions.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/StringExtensions.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Image;

namespace {

std::string replacingAll(std::string text, std::string_view placeholder, const std::string& with) {
    for (std::size_t at = text.find(placeholder); at != std::string::npos; at = text.find(placeholder, at + with.size()))
        text.replace(at, placeholder.size(), with);
    return text;
}

}  // namespace

void OVLibraryPodcastCellInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    std::optional<Image> start = OVGetAsset::startNotificationButton();
    if (start) start = start->withRenderingMode(Image::RenderingMode::alwaysTemplate);
    std::optional<Image> stop = OVGetAsset::stopNotificationButton();
    if (stop) stop = stop->withRenderingMode(Image::RenderingMode::alwaysOriginal);
    const OVLibraryPodcastCellModel::Style style{
        .backgroundColor = withTheme.backgroundColor(),
        .podcastTitleTextColor = withTheme.color(OVTheme::FontColor::typeA),
        .downloadedTextColor = withTheme.color(OVTheme::FontColor::typeB),
        .lastEpisodeTextColor = withTheme.color(OVTheme::FontColor::typeB),
        .separatorColor = withTheme.separatorColor(),
        .startNotificationButtonImage = std::move(start),
        .startNotificationButtonTintColor = andMainColor,
        .stopNotificationButtonImage = std::move(stop),
    };
    if (const auto view = view_.lock()) view->update(style);
}

std::string OVLibraryPodcastCellInteractor::lastEpisodeText(const OVContent& podcast) {
    const auto sorted = OVTrack::sorted(podcast.tracks);
    if (!sorted || sorted->empty() || !sorted->back()) return {};
    const auto& published = sorted->back()->publicationDate();
    if (!published) return {};
    const auto days = daysBeforeNow(*published);
    if (!days) return {};
    if (*days == 0) return localized("LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_0");
    if (*days == 1) return localized("LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_1");
    return replacingAll(localized("LIBRARY_PODCASTS_CELL_LAST_EPISODE_INFO_N"), "#", std::to_string(*days));
}

void OVLibraryPodcastCellInteractor::update(const OVContent& withPodcast, const OVMock::UserData& andUserData) {
    podcast_ = withPodcast;
    std::optional<bool> notification;
    if (andUserData.userHasSuscribded(withPodcast, OVSubscription::podcast))
        notification = andUserData.userHasSuscribded(withPodcast, OVSubscription::notification);
    std::optional<platform::core::URL> image;
    std::optional<std::string> title;
    if (withPodcast.description) {
        if (withPodcast.description->image) image = url(*withPodcast.description->image);
        title = withPodcast.description->title;
    }
    const OVLibraryPodcastCellModel::Data data{
        .image = std::move(image),
        .podcastTitle = std::move(title),
        .downloadedText = localized("LIBRARY_PODCASTS_CELL_DOWNLOAD_INFO_0"),
        .lastEpisodeText = lastEpisodeText(withPodcast),
        // On: the switch-off button; off: the switch-on button; not
        // subscribed: neither.
        .startNotificationButtonIsHidden = notification.value_or(true),
        .stopNotificationButtonIsHidden = notification ? !*notification : true,
    };
    if (const auto view = view_.lock()) view->update(data);
}

void OVLibraryPodcastCellInteractor::didToggleNotification(bool isActive, const std::optional<OVContent>& forPodcast) {
    if (!forPodcast) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didToggleNotification(*forPodcast, isActive);
}

}  // namespace orvane
