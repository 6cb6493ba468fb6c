// The player element's presenter: turns the theme, the episode, the
// playback positions and whether the position may change into view models
// for its cell, and turns a drag of the slider into one seek request to the
// cell's delegate.
//
// Drag state: idle (positions applied); dragging, from the first move of the
// thumb (positions ignored, the elapsed label follows the thumb); seeking,
// from the release until the delegate calls the seek's completion
// (positions still ignored, so the thumb does not jump back to the old
// position). A cancelled drag, or a release with no cell or no delegate to
// seek, goes back to idle without a seek. Only the completion of the latest
// seek ends the seeking state; it may come on any thread and is carried to
// the main one.
//
// Times and durations that are not finite, or not positive, count as 0:
// no conversion to whole seconds sees them, the played fraction is then 0,
// and it is always within [0, 1].
//
// Holds its cell weakly; made by the cell when it wakes from its nib. Main
// thread only.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "orvane/elements/OVPlayerTableViewCellInput.hpp"
#include "orvane/elements/OVPlayerTableViewCellInteractorInput.hpp"

namespace orvane {

class OVPlayerTableViewCellInteractor final : public OVPlayerTableViewCellInteractorInput,
                                              public std::enable_shared_from_this<OVPlayerTableViewCellInteractor> {
public:
    explicit OVPlayerTableViewCellInteractor(std::weak_ptr<OVPlayerTableViewCellInput> view)
        : view_(std::move(view)) {}

    std::shared_ptr<OVPlayerTableViewCellInput> view() const { return view_.lock(); }
    // The duration of the last position applied, in seconds (0 when it was
    // not a positive finite number).
    double duration() const { return duration_; }
    // Whether positions are ignored now (dragging or seeking).
    bool sliderBeingChangedByUser() const { return dragState_ != DragState::idle; }

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(double time, double duration) override;
    void update(bool positionCanBeChanged) override;
    void sliderValueWasChangedByUser(float value) override;
    void sliderValueChangeEnded(float value) override;
    void sliderValueChangeCancelled() override;

    // The position's view model: whole-second labels ("0:00" for anything
    // not a positive finite number) and the played fraction within [0, 1].
    static OVPlayerTableViewCellModel::AudioPosition audioPosition(double time, double duration);
    // Whole seconds of a time for its label, truncated toward zero.
    static std::string timeText(double seconds);

private:
    enum class DragState { idle, dragging, seeking };
    void seekDidComplete(std::uint64_t seek);

    std::weak_ptr<OVPlayerTableViewCellInput> view_;
    double duration_ = 0;
    DragState dragState_ = DragState::idle;
    std::uint64_t seekCount_ = 0;  // numbers the seeks, so a stale completion is told apart
};

}  // namespace orvane
