// The player element's row of the main page: the current episode's artwork
// under a gradient (its height set by `ratioConstraint`, whose constant the
// main page drives), the podcast line, the episode title on a marquee, the
// seek slider between the elapsed time and the total duration, and the slot
// of the transport buttons. The cell only applies the view models its
// presenter (`OVPlayerTableViewCellInteractor`, made when the cell wakes
// from its nib) computes from the page's updates; the slot's view gets the
// theme, status and positionCanBeChanged updates too. The end of a slider
// drag reaches the delegate (the coordinator, set by the element) through
// the presenter as one seek request. The cell keeps the root container's
// pans off the slider (`accept`).
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Main thread only; owned by its
// element. The delegate and the slot's view are held weakly (the slot's
// container keeps the view as a subview).
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVPlayerButtonsView.hpp"
#include "orvane/elements/OVPlayerSlider.hpp"
#include "orvane/elements/OVPlayerTableViewCellInput.hpp"
#include "orvane/elements/OVPlayerTableViewCellInteractorInput.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/pages/OVViewShouldAcceptTouch.hpp"
#include "orvane/playback/OVPlayerUserActionDelegate.hpp"
#include "orvane/toolkit/OVGradientUIView.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "orvane/toolkit/OVScrollingLabel.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVPlayerTableViewCell : public OVPageElementTableViewCell,
                              public OVPlayerTableViewCellInput,
                              public OVViewShouldAcceptTouch {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVPlayerTableViewCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVPlayerTableViewCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVPlayerUserActionDelegate> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVPlayerUserActionDelegate> delegate) { delegate_ = std::move(delegate); }

    // ---- What the main page calls ----
    using OVPageElementTableViewCell::update;
    // The presenter restyles the cell, then the slot's view follows.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast);
    // The slot's view first, then the slider.
    void update(bool positionCanBeChanged);
    // Only the slot's view shows the status.
    void update(OVAudioPlayerStatus withAudioStatus);
    // A playback position, in seconds.
    void update(double time, double duration);
    // Puts a transport-buttons view into the slot (pinned to its four
    // edges), removing the one there; none empties the slot.
    void setButtonsView(const std::shared_ptr<OVPlayerButtonsView>& view);
    // The title scrolls when it is wider than the slider is now.
    void setTrackLabelTextMaxLength();
    void restartTrackLabelAnimation();

    // ---- OVViewShouldAcceptTouch: false on the slider, true elsewhere ----
    bool accept(platform::graphics::Point touch, const platform::ui::GestureRecognizer& forGestureRecognizer) override;

    // ---- OVPlayerTableViewCellInput ----
    void update(const OVPlayerTableViewCellModel::Style& withViewModel) override;
    void update(const OVPlayerTableViewCellModel::Media& withViewModel) override;
    void update(const OVPlayerTableViewCellModel::AudioPosition& withViewModel) override;
    void update(const OVPlayerTableViewCellModel::PositionCanBeChanged& withViewModel) override;

    // ---- The slider's actions ----
    void sliderValueWasChangedByUser(OVPlayerSlider& sender);
    void sliderValueChangeEnded(OVPlayerSlider& sender);
    void sliderValueChangeCancelled(OVPlayerSlider& sender);

    void awakeFromNib() override;

    // ---- The nib's views ----
    std::shared_ptr<OVImageView> contentImgView() const { return contentImgView_.lock(); }
    const std::shared_ptr<OVGradientUIView>& gradientView() const { return gradientView_; }
    std::shared_ptr<OVScrollingLabel> trackLabel() const { return trackLabel_.lock(); }
    std::shared_ptr<platform::ui::Label> podcastLabel() const { return podcastLabel_.lock(); }
    std::shared_ptr<platform::ui::View> customBackgroundView() const { return customBackgroundView_.lock(); }
    std::shared_ptr<OVPlayerSlider> slider() const { return slider_.lock(); }
    std::shared_ptr<platform::ui::Label> sliderLeftLabel() const { return sliderLeftLabel_.lock(); }
    std::shared_ptr<platform::ui::Label> sliderRightLabel() const { return sliderRightLabel_.lock(); }
    std::shared_ptr<platform::ui::View> buttonsViewContainer() const { return buttonsViewContainer_.lock(); }
    std::shared_ptr<OVPlayerButtonsView> buttonsView() const { return buttonsView_.lock(); }
    // The artwork's height is its width plus this constraint's constant.
    platform::ui::LayoutConstraintPtr ratioConstraint() const { return ratioConstraint_.lock(); }
    std::shared_ptr<platform::ui::View> overlayContainer() const { return overlayContainer_.lock(); }

private:
    void initializeTargets();
    void initializeUI();

    std::shared_ptr<OVPlayerTableViewCellInteractorInput> interactor_;
    std::weak_ptr<OVPlayerUserActionDelegate> delegate_;
    std::weak_ptr<OVImageView> contentImgView_;
    std::shared_ptr<OVGradientUIView> gradientView_;
    std::weak_ptr<OVScrollingLabel> trackLabel_;
    std::weak_ptr<platform::ui::Label> podcastLabel_;
    std::weak_ptr<platform::ui::View> customBackgroundView_;
    std::weak_ptr<OVPlayerSlider> slider_;
    std::weak_ptr<platform::ui::Label> sliderLeftLabel_;
    std::weak_ptr<platform::ui::Label> sliderRightLabel_;
    std::weak_ptr<platform::ui::View> buttonsViewContainer_;
    std::weak_ptr<OVPlayerButtonsView> buttonsView_;
    std::weak_ptr<platform::ui::LayoutConstraint> ratioConstraint_;
    std::weak_ptr<platform::ui::View> overlayContainer_;
};

}  // namespace orvane
