#include "orvane/elements/OVPlayerTableViewCellInteractor.hpp"

#include <algorithm>
#include <cmath>

#include "orvane/model/IntExtensions.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "platform/core/RunLoop.hpp"

namespace orvane {

using Model = OVPlayerTableViewCellModel;

namespace {

// Longest time a label shows: far beyond any episode, far inside int64.
constexpr double longestTime = 100000.0 * 3600.0;

// A time or duration as the element counts it: 0 unless positive and finite.
double usable(double seconds) { return std::isfinite(seconds) && seconds > 0 ? seconds : 0; }

}  // namespace

std::string OVPlayerTableViewCellInteractor::timeText(double seconds) {
    const double whole = std::trunc(std::min(usable(seconds), longestTime));
    return hoursMinutesSecondsString(static_cast<std::int64_t>(whole));
}

Model::AudioPosition OVPlayerTableViewCellInteractor::audioPosition(double time, double duration) {
    const double t = usable(time);
    const double d = usable(duration);
    const double fraction = d > 0 ? std::clamp(t / d, 0.0, 1.0) : 0.0;
    return Model::AudioPosition{timeText(t), timeText(d), static_cast<float>(fraction)};
}

void OVPlayerTableViewCellInteractor::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    auto view = view_.lock();
    if (!view) return;
    view->update(Model::Style{
        .backgroundColor = withTheme.backgroundColor(),
        .mainColor = andMainColor,
        .episodeTextColor = withTheme.color(OVTheme::FontColor::typeA),
        .podcastTextColor = withTheme.color(OVTheme::FontColor::typeB),
        .trackLabelColor = withTheme.color(OVTheme::FontColor::typeB),
        .spinAnimationColor = withTheme.spinAnimationColor(),
        .gradientColors = withTheme.gradientColors(),
        .maximumTrackTintColor = withTheme.maximumTrackTintColor(),
    });
}

void OVPlayerTableViewCellInteractor::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (!withEpisode) return;
    const std::optional<std::string> podcastImage =
        inPodcast.description ? inPodcast.description->image : std::nullopt;
    // An episode without artwork shows its podcast's, and keeps it.
    if (auto description = withEpisode->description(); description && !description->image) {
        description->image = podcastImage;
        withEpisode->setDescription(std::move(description));
    }
    std::optional<platform::core::URL> image;
    if (const auto& description = withEpisode->description(); description && description->image)
        image = url(*description->image);
    Model::Media media{std::move(image), withEpisode->title(),
                       inPodcast.description ? inPodcast.description->title : std::nullopt};
    if (auto view = view_.lock()) view->update(media);
}

void OVPlayerTableViewCellInteractor::update(double time, double duration) {
    if (sliderBeingChangedByUser()) return;
    duration_ = usable(duration);
    if (auto view = view_.lock()) view->update(audioPosition(time, duration));
}

void OVPlayerTableViewCellInteractor::update(bool positionCanBeChanged) {
    if (auto view = view_.lock()) view->update(Model::PositionCanBeChanged{positionCanBeChanged});
}

void OVPlayerTableViewCellInteractor::sliderValueWasChangedByUser(float value) {
    dragState_ = DragState::dragging;
    const float fraction = std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
    const float seconds = fraction * static_cast<float>(duration_);
    if (auto view = view_.lock())
        view->update(Model::AudioPosition{timeText(seconds), timeText(duration_), fraction});
}

void OVPlayerTableViewCellInteractor::sliderValueChangeEnded(float value) {
    const float fraction = std::isfinite(value) ? std::clamp(value, 0.0f, 1.0f) : 0.0f;
    const float seconds = fraction * static_cast<float>(duration_);
    auto view = view_.lock();
    auto delegate = view ? view->delegate() : nullptr;
    if (!delegate) {
        // Nobody to seek: follow the positions again.
        dragState_ = DragState::idle;
        return;
    }
    dragState_ = DragState::seeking;
    const std::uint64_t seek = ++seekCount_;
    delegate->didChangeSlider(seconds, [self = shared_from_this(), seek](bool) {
        auto& main = platform::core::RunLoop::main();
        if (main.isCurrent()) {
            self->seekDidComplete(seek);
        } else {
            main.async([self, seek] { self->seekDidComplete(seek); });
        }
    });
}

void OVPlayerTableViewCellInteractor::sliderValueChangeCancelled() {
    // A seek already asked for still ends with its completion.
    if (dragState_ == DragState::dragging) dragState_ = DragState::idle;
}

void OVPlayerTableViewCellInteractor::seekDidComplete(std::uint64_t seek) {
    // A newer drag or seek owns the state now.
    if (seek == seekCount_ && dragState_ == DragState::seeking) dragState_ = DragState::idle;
}

}  // namespace orvane
