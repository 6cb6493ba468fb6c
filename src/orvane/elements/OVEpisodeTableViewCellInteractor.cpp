#include "orvane/elements/OVEpisodeTableViewCellInteractor.hpp"

#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/text/DateFormatter.hpp"
#include "platform/ui/text/Locale.hpp"

namespace orvane {

using platform::graphics::Color;
using Model = OVEpisodeTableViewCellModel;

namespace {

// The description's image as an address, when it gives one.
std::optional<platform::core::URL> imageUrl(const std::optional<OVObjDescription>& description) {
    if (!description || !description->image) return std::nullopt;
    return url(*description->image);
}

}  // namespace

void OVEpisodeTableViewCellInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    theme_ = withTheme;
    const auto view = view_.lock();
    if (!view) return;
    view->update(Model::Style{
        .dateTextColor = withTheme.color(OVTheme::FontColor::typeC),
        .equalizerAnimationColor = Color::white(),
        .spinAnimationColor = withTheme.spinAnimationColor(),
        .episodeTextColor = withTheme.color(OVTheme::FontColor::typeA),
        .podcastTextColor = withTheme.color(OVTheme::FontColor::typeC),
        .detailsButtonTextColor = andMainColor,
        .suscribeButtonTintColor = andMainColor,
    });
}

void OVEpisodeTableViewCellInteractor::update(const OVTrackInPodcast& withEpisodeInPodcast) {
    // Stored first: the taps and the current-episode test use them even
    // when no record follows.
    track_ = withEpisodeInPodcast.track;
    podcast_ = withEpisodeInPodcast.podcast;
    if (!track_) return;

    auto image = imageUrl(track_->description());
    if (!image) image = imageUrl(podcast_->description);

    platform::ui::ParagraphStyle paragraph;
    paragraph.maximumLineHeight = titleMaximumLineHeight;
    const auto font = OVConstants::OVEpisodeTableViewCell::episodeFont();
    if (!font) return;
    platform::ui::TextAttributes attributes;
    attributes.font = *font;
    attributes.foregroundColor = theme_.value_or(OVTheme::light).color(OVTheme::FontColor::typeA);
    attributes.paragraphStyle = paragraph;
    platform::ui::AttributedString title(track_->title(), attributes);

    std::optional<std::string> podcastTitle;
    if (podcast_->description) podcastTitle = podcast_->description->title;

    const auto view = view_.lock();
    if (!view) return;
    view->update(Model::Data{
        .date = displayString(track_->publicationDate()),
        .image = std::move(image),
        .episode = std::move(title),
        .podcast = std::move(podcastTitle),
    });
}

std::string OVEpisodeTableViewCellInteractor::displayString(const std::optional<platform::core::Date>& forDate) {
    if (!forDate) return {};
    platform::ui::DateFormatter formatter;
    formatter.setLocalizedDateFormatFromTemplate("ddMMMM");
    return platform::ui::uppercased(formatter.string(*forDate), formatter.locale());
}

void OVEpisodeTableViewCellInteractor::update(const std::shared_ptr<OVTrack>& withCurrentEpisode,
                                              const OVContent& inPodcast) {
    // The same episode key under another podcast is another episode.
    const bool current = podcast_ && *podcast_ == inPodcast && track_ && withCurrentEpisode &&
                         *track_ == *withCurrentEpisode;
    if (const auto view = view_.lock())
        view->update(Model::CurrentTrack{.imageOverlayIsHidden = !current, .equalizerAnimationViewIsHidden = !current});
}

void OVEpisodeTableViewCellInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    if (const auto view = view_.lock())
        view->update(Model::AudioStatus{.equalizerAnimationsIsPlaying = withAudioStatus == OVAudioPlayerStatus::playing});
}

void OVEpisodeTableViewCellInteractor::updateAuxiliaryViewIsHidden(bool auxiliaryViewIsHidden) {
    if (const auto view = view_.lock())
        view->update(Model::AuxiliaryView{.auxiliaryViewWidth = auxiliaryViewIsHidden ? 0 : auxiliaryViewWidth});
}

void OVEpisodeTableViewCellInteractor::updateEpisodeCanBeSaved(bool episodeCanBeSaved) {
    if (const auto view = view_.lock()) view->update(Model::Save{.saveButtonIsHidden = !episodeCanBeSaved});
}

void OVEpisodeTableViewCellInteractor::didTapDetails() {
    if (!track_ || !podcast_) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didTapForDetails(OVTrackInPodcast(track_, *podcast_));
}

void OVEpisodeTableViewCellInteractor::didTapSave(const std::shared_ptr<OVTrack>& episode,
                                                  const std::optional<OVContent>& inPodcast) {
    if (!episode || !inPodcast) return;
    const auto view = view_.lock();
    if (!view) return;
    if (const auto delegate = view->delegate()) delegate->didSave(episode, *inPodcast);
}

}  // namespace orvane
