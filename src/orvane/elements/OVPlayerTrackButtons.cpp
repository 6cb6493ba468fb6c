#include "orvane/elements/OVPlayerTrackButtons.hpp"

#include <string>

#include "orvane/elements/OVPlayerTrackButtonsInteractor.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "orvane/widget/OVWidgetManagerOLD.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"

namespace orvane {

using platform::graphics::Rect;
using platform::ui::Button;
using platform::ui::ControlEvents;
using platform::ui::ControlState;
using platform::ui::LayoutConstraint;

namespace {
constexpr double playSide = 64;     // play and pause, one over the other
constexpr double skipSide = 44;     // backward and forward
constexpr double skipSpacing = 36;  // between a skip button and the play button
constexpr double rowHeight = 80;
}  // namespace

OVPlayerTrackButtons::OVPlayerTrackButtons(ConstructorKey key, const Rect& frame) : OVPlayerButtonsView(key, frame) {}

bool OVPlayerTrackButtons::nib(platform::ui::NibBuild& build) {
    auto view = std::make_shared<OVPlayerTrackButtons>(ConstructorKey{}, Rect{0, 0, 375, rowHeight});
    auto backward = Button::create(Rect{0, 0, skipSide, skipSide});
    auto play = Button::create(Rect{0, 0, playSide, playSide});
    auto pause = Button::create(Rect{0, 0, playSide, playSide});
    auto spinner = OVCircleSpinAnimationView::create(Rect{0, 0, playSide, playSide});
    auto forward = Button::create(Rect{0, 0, skipSide, skipSide});
    pause->setHidden(true);
    spinner->setHidden(true);
    spinner->setUserInteractionEnabled(false);
    for (const std::shared_ptr<platform::ui::View>& v :
         {std::static_pointer_cast<platform::ui::View>(backward), std::static_pointer_cast<platform::ui::View>(play),
          std::static_pointer_cast<platform::ui::View>(pause), std::static_pointer_cast<platform::ui::View>(spinner),
          std::static_pointer_cast<platform::ui::View>(forward)}) {
        v->setTranslatesAutoresizingMaskIntoConstraints(false);
        view->addSubview(v);
        build.add(v, false);
    }
    LayoutConstraint::activate({
        view->heightAnchor().constraintGreaterThanOrEqualToConstant(rowHeight),
        play->centerXAnchor().constraintEqualTo(view->centerXAnchor()),
        play->centerYAnchor().constraintEqualTo(view->centerYAnchor()),
        play->widthAnchor().constraintEqualToConstant(playSide),
        play->heightAnchor().constraintEqualToConstant(playSide),
        pause->centerXAnchor().constraintEqualTo(play->centerXAnchor()),
        pause->centerYAnchor().constraintEqualTo(play->centerYAnchor()),
        pause->widthAnchor().constraintEqualToConstant(playSide),
        pause->heightAnchor().constraintEqualToConstant(playSide),
        spinner->centerXAnchor().constraintEqualTo(play->centerXAnchor()),
        spinner->centerYAnchor().constraintEqualTo(play->centerYAnchor()),
        spinner->widthAnchor().constraintEqualToConstant(playSide),
        spinner->heightAnchor().constraintEqualToConstant(playSide),
        backward->rightAnchor().constraintEqualTo(play->leftAnchor(), -skipSpacing),
        backward->centerYAnchor().constraintEqualTo(play->centerYAnchor()),
        backward->widthAnchor().constraintEqualToConstant(skipSide),
        backward->heightAnchor().constraintEqualToConstant(skipSide),
        forward->leftAnchor().constraintEqualTo(play->rightAnchor(), skipSpacing),
        forward->centerYAnchor().constraintEqualTo(play->centerYAnchor()),
        forward->widthAnchor().constraintEqualToConstant(skipSide),
        forward->heightAnchor().constraintEqualToConstant(skipSide),
    });
    build.add(view);
    build.connect([view, backward, play, pause, spinner, forward] {
        view->backwardButton_ = backward;
        view->playButton_ = play;
        view->pauseButton_ = pause;
        view->spinAnimationView_ = spinner;
        view->forwardButton_ = forward;
        play->addTarget(view, &OVPlayerTrackButtons::didTapPlayButton, ControlEvents::touchUpInside);
        pause->addTarget(view, &OVPlayerTrackButtons::didTapPauseButton, ControlEvents::touchUpInside);
        backward->addTarget(view, &OVPlayerTrackButtons::didTapBackwardButton, ControlEvents::touchUpInside);
        forward->addTarget(view, &OVPlayerTrackButtons::didTapForwardButton, ControlEvents::touchUpInside);
    });
    return true;
}

std::shared_ptr<OVPlayerTrackButtons> OVPlayerTrackButtons::newFromNib() {
    auto& registry = platform::ui::NibRegistry::shared();
    const std::string name(nibName);
    // The module's own nib: made known on first use unless a builder of that
    // name is registered already.
    if (!registry.hasNib(name)) registry.registerNib(name, &OVPlayerTrackButtons::nib);
    return registry.instantiateFirst<OVPlayerTrackButtons>(name);
}

void OVPlayerTrackButtons::awakeFromNib() {
    OVPlayerButtonsView::awakeFromNib();
    interactor_ = std::make_shared<OVPlayerTrackButtonsInteractor>(
        std::static_pointer_cast<OVPlayerTrackButtons>(shared_from_this()));
}

// ---- Hooks ----

void OVPlayerTrackButtons::update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVPlayerTrackButtons::update(OVAudioPlayerStatus withAudioStatus) {
    if (interactor_) interactor_->update(withAudioStatus);
}

void OVPlayerTrackButtons::update(bool positionCanBeChanged) {
    if (interactor_) interactor_->update(positionCanBeChanged);
}

// ---- View models ----

void OVPlayerTrackButtons::update(const OVPlayerTrackButtonsModel::Style& withViewModel) {
    if (auto b = backwardButton_.lock()) b->setImage(withViewModel.backwardButton, ControlState::normal);
    if (auto b = playButton_.lock()) b->setImage(withViewModel.playButtonImage, ControlState::normal);
    if (auto b = pauseButton_.lock()) b->setImage(withViewModel.pauseButtonImage, ControlState::normal);
    if (auto b = forwardButton_.lock()) b->setImage(withViewModel.forwardButton, ControlState::normal);
    if (auto s = spinAnimationView_.lock()) s->setColor(withViewModel.spinAnimationColor);
}

void OVPlayerTrackButtons::update(const OVPlayerTrackButtonsModel::AudioStatus& withViewModel) {
    if (auto b = playButton_.lock()) b->setHidden(!withViewModel.playButtonIsDisplayed);
    if (auto b = pauseButton_.lock()) b->setHidden(!withViewModel.pauseButtonIsDisplayed);
    if (auto s = spinAnimationView_.lock()) {
        if (withViewModel.spinAnimationViewIsRunning) {
            s->startAnimation();
        } else {
            s->stopAnimation();
        }
        s->setHidden(!withViewModel.spinAnimationViewIsDisplayed);
    }
}

void OVPlayerTrackButtons::update(const OVPlayerTrackButtonsModel::PositionCanBeChanged& withViewModel) {
    if (auto b = backwardButton_.lock()) b->setEnabled(withViewModel.backwardButtonIsEnabled);
    if (auto b = forwardButton_.lock()) b->setEnabled(withViewModel.forwardButtonIsEnabled);
}

// ---- Taps ----

void OVPlayerTrackButtons::didTapPlayButton(Button& /*sender*/) {
    if (interactor_) interactor_->didTap();
    if (auto d = delegate()) d->didTapPlay();
    OVWidgetManager::shared().send(SDKTracking::mainPlay);
}

void OVPlayerTrackButtons::didTapPauseButton(Button& /*sender*/) {
    if (auto d = delegate()) d->didTapPause();
    OVWidgetManager::shared().send(SDKTracking::mainPause);
}

void OVPlayerTrackButtons::didTapBackwardButton(Button& /*sender*/) {
    if (auto d = delegate()) d->didTapBackward();
    OVWidgetManagerOLD::shared().event(OVEventExpand::rewind, std::nullopt);
}

void OVPlayerTrackButtons::didTapForwardButton(Button& /*sender*/) {
    if (auto d = delegate()) d->didTapForward();
    OVWidgetManagerOLD::shared().event(OVEventExpand::fastforward, std::nullopt);
}

}  // namespace orvane
