#include "orvane/coordinator/OVFooterPlayerModelInteractor.hpp"

#include <cmath>

#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/AttributedStringExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Color;

void OVFooterPlayerModelInteractor::update(const OVTheme& withTheme, const Color& andMainColor) {
    theme_ = withTheme;
    const OVFooterPlayerModel::Style style{
        withTheme.backgroundColor(),
        andMainColor,
        withTheme.maximumTrackTintColor(),
        withTheme.playImage(),
        withTheme.pauseImage(),
        withTheme.color(OVTheme::FontColor::typeA),
        withTheme.color(OVTheme::FontColor::typeB),
    };
    if (auto view = view_.lock()) view->update(style);
}

void OVFooterPlayerModelInteractor::update(const OVTrack& withEpisode, const OVContent& inPodcast) {
    const auto font = OVConstants::OVDescriptionTextTableViewCell::headerFont();
    if (!font || !theme_) return;
    const Color color = theme_->color(OVTheme::FontColor::typeA);

    std::optional<std::string> podcast;
    if (inPodcast.description) podcast = inPodcast.description->title;

    auto episode = attributedStringForHTMLString(withEpisode.title(), *font, color);
    if (!episode || !*episode) return;
    platform::ui::AttributedString text = std::move(**episode);
    platform::ui::ParagraphStyle paragraph;
    paragraph.lineBreakMode = platform::ui::LineBreakMode::byTruncatingTail;
    text.addAttribute(platform::ui::AttributeKey::paragraphStyle, paragraph, text.fullRange());

    std::optional<platform::core::URL> image;
    if (const auto& description = withEpisode.description(); description && description->image)
        image = url(*description->image);

    OVFooterPlayerModel::Media media{std::move(image), std::move(text), std::move(podcast)};
    if (auto view = view_.lock()) view->update(media);
}

void OVFooterPlayerModelInteractor::update(OVAudioPlayerStatus withAudioStatus) {
    OVFooterPlayerModel::AudioStatus status{true, false, false};
    switch (withAudioStatus) {
        case OVAudioPlayerStatus::paused: status = {true, false, false}; break;
        case OVAudioPlayerStatus::loading: status = {false, true, false}; break;
        case OVAudioPlayerStatus::playing: status = {false, true, true}; break;
    }
    if (auto view = view_.lock()) view->update(status);
}

float OVFooterPlayerModelInteractor::progressValue(const OVAudioPosition& position) {
    const float duration = static_cast<float>(position.duration);
    // A duration of 0 (an episode whose length is not known yet) or a
    // quotient out of range shows an empty bar, never an infinite or NaN one.
    if (!(duration > 0)) return 0;
    const float value = static_cast<float>(position.time) / duration;
    return std::isfinite(value) ? value : 0;
}

void OVFooterPlayerModelInteractor::update(const OVAudioPosition& withAudioPosition) {
    if (auto view = view_.lock()) view->update(OVFooterPlayerModel::AudioPosition{progressValue(withAudioPosition)});
}

}  // namespace orvane
