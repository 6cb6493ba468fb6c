#include "orvane/coordinator/OVFooterPlayer.hpp"

#include <string>

#include "orvane/coordinator/OVFooterPlayerModelInteractor.hpp"
#include "orvane/coordinator/OVFooterPlayerStateManager.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "orvane/toolkit/OVEqualizerAnimationView.hpp"
#include "orvane/toolkit/OVImageView.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Font.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {

// The nib's measures, in points.
constexpr double barWidth = 375;
constexpr double barHeight = 88;
constexpr double progressHeight = 2;
constexpr double margin = 16;
constexpr double artworkSide = 56;
constexpr double equalizerSide = 20;
constexpr double buttonSide = 44;
constexpr double labelGap = 12;
constexpr double episodeLabelHeight = 24;
constexpr double podcastLabelHeight = 18;

}  // namespace

OVFooterPlayer::OVFooterPlayer(ConstructorKey key, const Rect& frame) : View(key, frame) {}

OVFooterPlayer::~OVFooterPlayer() = default;

bool OVFooterPlayer::nib(NibBuild& build) {
    auto bar = std::make_shared<OVFooterPlayer>(ConstructorKey{}, Rect{0, 0, barWidth, barHeight});
    bar->setBackgroundColor(Color::white());

    auto artwork = OVImageView::create(Rect{0, 0, artworkSide, artworkSide});
    auto overlay = View::create(Rect{0, 0, artworkSide, artworkSide});
    overlay->setUserInteractionEnabled(false);
    auto equalizer = OVEqualizerAnimationView::create(Rect{0, 0, equalizerSide, equalizerSide});
    auto episode = Label::create();
    episode->setFont(OVConstants::OVFooterPlayer::episodeFont());
    episode->setLineBreakMode(LineBreakMode::byTruncatingTail);
    auto podcast = Label::create();
    podcast->setFont(Font::named("AvenirNext-Medium", 13));
    podcast->setLineBreakMode(LineBreakMode::byTruncatingTail);
    // Clear, over the artwork and the texts: a tap there opens the main page.
    auto open = Button::create();
    auto play = Button::create();
    auto pause = Button::create();
    pause->setHidden(true);
    auto progress = ProgressView::create();

    for (const std::shared_ptr<View>& view :
         {std::static_pointer_cast<View>(artwork), overlay, std::static_pointer_cast<View>(equalizer),
          std::static_pointer_cast<View>(episode), std::static_pointer_cast<View>(podcast),
          std::static_pointer_cast<View>(open), std::static_pointer_cast<View>(play),
          std::static_pointer_cast<View>(pause), std::static_pointer_cast<View>(progress)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        bar->addSubview(view);
        build.add(view, false);
    }

    LayoutConstraint::activate({
        // The progress bar along the top edge.
        progress->topAnchor().constraintEqualTo(bar->topAnchor()),
        progress->leftAnchor().constraintEqualTo(bar->leftAnchor()),
        progress->rightAnchor().constraintEqualTo(bar->rightAnchor()),
        progress->heightAnchor().constraintEqualToConstant(progressHeight),
        // The artwork at the left, the overlay over it, the equalizer in its middle.
        artwork->leftAnchor().constraintEqualTo(bar->leftAnchor(), margin),
        artwork->centerYAnchor().constraintEqualTo(bar->centerYAnchor(), progressHeight / 2),
        artwork->widthAnchor().constraintEqualToConstant(artworkSide),
        artwork->heightAnchor().constraintEqualToConstant(artworkSide),
        overlay->topAnchor().constraintEqualTo(artwork->topAnchor()),
        overlay->leftAnchor().constraintEqualTo(artwork->leftAnchor()),
        overlay->widthAnchor().constraintEqualTo(artwork->widthAnchor()),
        overlay->heightAnchor().constraintEqualTo(artwork->heightAnchor()),
        equalizer->centerXAnchor().constraintEqualTo(artwork->centerXAnchor()),
        equalizer->centerYAnchor().constraintEqualTo(artwork->centerYAnchor()),
        equalizer->widthAnchor().constraintEqualToConstant(equalizerSide),
        equalizer->heightAnchor().constraintEqualToConstant(equalizerSide),
        // Play and pause in the same place at the right.
        play->rightAnchor().constraintEqualTo(bar->rightAnchor(), -labelGap),
        play->centerYAnchor().constraintEqualTo(artwork->centerYAnchor()),
        play->widthAnchor().constraintEqualToConstant(buttonSide),
        play->heightAnchor().constraintEqualToConstant(buttonSide),
        pause->leftAnchor().constraintEqualTo(play->leftAnchor()),
        pause->topAnchor().constraintEqualTo(play->topAnchor()),
        pause->widthAnchor().constraintEqualTo(play->widthAnchor()),
        pause->heightAnchor().constraintEqualTo(play->heightAnchor()),
        // The title and the podcast beside the artwork, up to the buttons.
        episode->topAnchor().constraintEqualTo(artwork->topAnchor(), 3),
        episode->leftAnchor().constraintEqualTo(artwork->rightAnchor(), labelGap),
        episode->rightAnchor().constraintEqualTo(play->leftAnchor(), -8),
        episode->heightAnchor().constraintEqualToConstant(episodeLabelHeight),
        podcast->topAnchor().constraintEqualTo(episode->bottomAnchor(), 4),
        podcast->leftAnchor().constraintEqualTo(episode->leftAnchor()),
        podcast->rightAnchor().constraintEqualTo(episode->rightAnchor()),
        podcast->heightAnchor().constraintEqualToConstant(podcastLabelHeight),
        // The open button under the progress bar, from the left edge to the buttons.
        open->topAnchor().constraintEqualTo(progress->bottomAnchor()),
        open->leftAnchor().constraintEqualTo(bar->leftAnchor()),
        open->rightAnchor().constraintEqualTo(play->leftAnchor()),
        open->bottomAnchor().constraintEqualTo(bar->bottomAnchor()),
    });

    build.add(bar);
    build.connect([bar, artwork, overlay, equalizer, progress, episode, podcast, play, pause, open] {
        bar->ovimageView_ = artwork;
        bar->imageOverlay_ = overlay;
        bar->equalizerAnimationView_ = equalizer;
        bar->progressView_ = progress;
        bar->episodeLabel_ = episode;
        bar->podcastLabel_ = podcast;
        bar->playButton_ = play;
        bar->pauseButton_ = pause;
        bar->openMainPageButton_ = open;
        play->addTarget(bar, &OVFooterPlayer::didTapPlay, ControlEvents::touchUpInside);
        pause->addTarget(bar, &OVFooterPlayer::didTapPause, ControlEvents::touchUpInside);
        open->addTarget(bar, &OVFooterPlayer::didTapOpenMainPageButton, ControlEvents::touchUpInside);
    });
    return true;
}

void OVFooterPlayer::registerNib() { NibRegistry::shared().registerNib(std::string(NibName), &OVFooterPlayer::nib); }

void OVFooterPlayer::awakeFromNib() {
    View::awakeFromNib();
    ovimageView_->setImageContentMode(ContentMode::scaleAspectFill);
    const auto self = std::static_pointer_cast<OVFooterPlayer>(shared_from_this());
    interactor_ = std::make_shared<OVFooterPlayerModelInteractor>(std::static_pointer_cast<OVFooterPlayerInput>(self));
    stateManager_ = std::make_shared<OVFooterPlayerStateManager>(self);
    // The bridge's last state is not applied here: the next one fills the bar.
    OVWidgetManager::shared().addObserver(stateManager_);
    ovimageView_->layer()->setCornerRadius(2);
    imageOverlay_->setBackgroundColor(OVConstants::OVFooterPlayer::overlayColor);
    imageOverlay_->layer()->setCornerRadius(2);
    imageOverlay_->setClipsToBounds(true);
    equalizerAnimationView_->setColor(Color::white());
}

void OVFooterPlayer::update(const OVTheme& withTheme, const Color& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
}

void OVFooterPlayer::update(const OVTrack& withEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(withEpisode, inPodcast);
}

void OVFooterPlayer::update(OVAudioPlayerStatus withAudioStatus) {
    if (interactor_) interactor_->update(withAudioStatus);
}

void OVFooterPlayer::update(const OVAudioPosition& audioPosition) {
    if (interactor_) interactor_->update(audioPosition);
}

void OVFooterPlayer::update(const OVFooterPlayerModel::Style& viewModel) {
    setBackgroundColor(viewModel.backgroundColor);
    progressView_->setProgressTintColor(viewModel.progressTintColor);
    progressView_->setTrackTintColor(viewModel.trackTintColor);
    playButton_->setImage(viewModel.playButtonImage, ControlState::normal);
    pauseButton_->setImage(viewModel.pauseButtonImage, ControlState::normal);
    episodeLabel_->setTextColor(viewModel.episodeTextColor);
    podcastLabel_->setTextColor(viewModel.podcastTextColor);
}

void OVFooterPlayer::update(const OVFooterPlayerModel::Media& viewModel) {
    ovimageView_->setUrl(viewModel.image);
    episodeLabel_->setAttributedText(viewModel.edpiode);
    podcastLabel_->setText(viewModel.podcast);
}

void OVFooterPlayer::update(const OVFooterPlayerModel::AudioStatus& viewModel) {
    playButton_->setHidden(!viewModel.playButtonIsDisplayed);
    pauseButton_->setHidden(!viewModel.pauseButtonIsDisplayed);
    if (viewModel.equalizerAnimationsIsPlaying)
        equalizerAnimationView_->startAnimation();
    else
        equalizerAnimationView_->stopAnimation();
}

void OVFooterPlayer::update(const OVFooterPlayerModel::AudioPosition& viewModel) {
    progressView_->setProgress(viewModel.progressValue, false);
}

void OVFooterPlayer::didTapPlay() {
    if (auto delegate = delegate_.lock()) delegate->didTapPlay();
}

void OVFooterPlayer::didTapPause() {
    if (auto delegate = delegate_.lock()) delegate->didTapPause();
}

void OVFooterPlayer::didTapOpenMainPageButton() {
    if (auto delegate = delegate_.lock()) delegate->didTapFooterPlayer();
}

}  // namespace orvane
