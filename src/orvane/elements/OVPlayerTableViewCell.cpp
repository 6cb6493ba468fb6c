#include "orvane/elements/OVPlayerTableViewCell.hpp"

#include "orvane/elements/OVPlayerTableViewCellInteractor.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/ui/text/Font.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Point;
using platform::graphics::Rect;
using platform::ui::ControlEvents;
using platform::ui::Font;
using platform::ui::Label;
using platform::ui::LayoutConstraint;
using platform::ui::View;

namespace {

constexpr double titleHeight = 32;       // the marquee's line
constexpr double sliderHeight = 30;
constexpr double sliderTop = 14;         // below the artwork
constexpr double buttonsHeight = 80;     // the transport buttons' slot
constexpr double bottomMargin = 20;

Font fontOr(std::string_view name, double size) { return Font::named(name, size).value_or(Font::systemFont(size)); }

}  // namespace

OVPlayerTableViewCell::OVPlayerTableViewCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVPlayerTableViewCell::nib(platform::ui::NibBuild& build) {
    auto cell = std::make_shared<OVPlayerTableViewCell>(ConstructorKey{}, Rect{0, 0, 375, 600});
    const auto& content = cell->contentView();

    auto background = View::create();
    auto image = OVImageView::create(Rect{0, 0, 375, 375});
    auto gradient = OVGradientUIView::create();
    auto overlay = View::create();
    auto podcast = Label::create();
    auto track = OVScrollingLabel::create(Rect{0, 0, 351, titleHeight});
    auto slider = OVPlayerSlider::create(Rect{0, 0, 351, sliderHeight});
    auto left = Label::create();
    auto right = Label::create();
    auto container = View::create();

    overlay->setUserInteractionEnabled(false);
    podcast->setFont(fontOr("AvenirNext-DemiBold", 15));
    podcast->setTextAlignment(platform::ui::TextAlignment::center);  // over the title, centred while still
    for (const auto& label : {left, right}) {
        label->setFont(fontOr("AvenirNext-Medium", 12));
        // No position yet reads as zero: the labels keep their line from the
        // start, so the row's height does not change when the first one comes.
        label->setText(OVPlayerTableViewCellInteractor::timeText(0));
    }
    right->setTextAlignment(platform::ui::TextAlignment::right);

    const std::vector<std::shared_ptr<View>> views{background, image, gradient, overlay, podcast, track,
                                                   slider,     left,  right,    container};
    for (const auto& v : views) {
        v->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(v);
        build.add(v, false);
    }
    // The artwork is as high as it is wide, plus the ratio's constant.
    auto ratio = image->heightAnchor().constraint(platform::ui::Relation::equal, image->widthAnchor(), 0, 1);
    auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        background->topAnchor().constraintEqualTo(content->topAnchor()),
        background->leftAnchor().constraintEqualTo(content->leftAnchor()),
        background->rightAnchor().constraintEqualTo(content->rightAnchor()),
        background->bottomAnchor().constraintEqualTo(content->bottomAnchor()),
        image->topAnchor().constraintEqualTo(content->topAnchor()),
        image->leftAnchor().constraintEqualTo(content->leftAnchor()),
        image->rightAnchor().constraintEqualTo(content->rightAnchor()),
        ratio,
        gradient->leftAnchor().constraintEqualTo(image->leftAnchor()),
        gradient->rightAnchor().constraintEqualTo(image->rightAnchor()),
        gradient->bottomAnchor().constraintEqualTo(image->bottomAnchor()),
        gradient->heightAnchor().constraint(platform::ui::Relation::equal, image->heightAnchor(), 0, 0.5),
        overlay->topAnchor().constraintEqualTo(image->topAnchor()),
        overlay->leftAnchor().constraintEqualTo(image->leftAnchor()),
        overlay->rightAnchor().constraintEqualTo(image->rightAnchor()),
        overlay->bottomAnchor().constraintEqualTo(image->bottomAnchor()),
        track->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        track->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        track->bottomAnchor().constraintEqualTo(image->bottomAnchor(), -4),
        track->heightAnchor().constraintEqualToConstant(titleHeight),
        podcast->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        podcast->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        podcast->bottomAnchor().constraintEqualTo(track->topAnchor()),
        slider->topAnchor().constraintEqualTo(image->bottomAnchor(), sliderTop),
        slider->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        slider->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        slider->heightAnchor().constraintEqualToConstant(sliderHeight),
        left->topAnchor().constraintEqualTo(slider->bottomAnchor(), 2),
        left->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        right->topAnchor().constraintEqualTo(slider->bottomAnchor(), 2),
        right->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        right->leftAnchor().constraintGreaterThanOrEqualTo(left->rightAnchor(), 8),
        container->topAnchor().constraintEqualTo(left->bottomAnchor(), 6),
        container->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        container->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        container->heightAnchor().constraintEqualToConstant(buttonsHeight),
        container->bottomAnchor().constraintEqualTo(content->bottomAnchor(), -bottomMargin),
    });
    build.add(cell);
    build.connect([cell, background, image, gradient, overlay, podcast, track, slider, left, right, container,
                   weakRatio = std::weak_ptr<LayoutConstraint>(ratio)] {
        cell->contentImgView_ = image;
        cell->gradientView_ = gradient;
        cell->trackLabel_ = track;
        cell->podcastLabel_ = podcast;
        cell->customBackgroundView_ = background;
        cell->slider_ = slider;
        cell->sliderLeftLabel_ = left;
        cell->sliderRightLabel_ = right;
        cell->buttonsViewContainer_ = container;
        cell->ratioConstraint_ = weakRatio;
        cell->overlayContainer_ = overlay;
    });
    return true;
}

void OVPlayerTableViewCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    interactor_ = std::make_shared<OVPlayerTableViewCellInteractor>(
        std::static_pointer_cast<OVPlayerTableViewCell>(shared_from_this()));
    initializeTargets();
    initializeUI();
}

void OVPlayerTableViewCell::initializeTargets() {
    auto self = std::static_pointer_cast<OVPlayerTableViewCell>(shared_from_this());
    auto slider = slider_.lock();
    slider->addTarget(self, &OVPlayerTableViewCell::sliderValueWasChangedByUser, ControlEvents::valueChanged);
    slider->addTarget(self, &OVPlayerTableViewCell::sliderValueChangeEnded,
                      ControlEvents::touchUpInside | ControlEvents::touchUpOutside);
    // A drag taken away from the slider must not leave the positions ignored.
    slider->addTarget(self, &OVPlayerTableViewCell::sliderValueChangeCancelled, ControlEvents::touchCancel);
}

void OVPlayerTableViewCell::initializeUI() {
    auto image = contentImgView_.lock();
    image->setImageContentMode(platform::ui::ContentMode::scaleAspectFill);
    if (const auto& font = OVConstants::OVPlayerTableViewCell::TrackLabel::font()) {
        auto track = trackLabel_.lock();
        track->setFont(font);
        track->setSpeed(OVConstants::OVPlayerTableViewCell::TrackLabel::speed);
    }
    image->layer()->setCornerRadius(OVConstants::OVVCPresentationTransitioning::cornerRadius);
}

// ---- What the main page calls ----

void OVPlayerTableViewCell::update(const OVTheme& withTheme, const Color& andMainColor) {
    if (interactor_) interactor_->update(withTheme, andMainColor);
    if (auto buttons = buttonsView_.lock()) buttons->update(withTheme, andMainColor);
}

void OVPlayerTableViewCell::update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(withEpisode, inPodcast);
}

void OVPlayerTableViewCell::update(bool positionCanBeChanged) {
    if (auto buttons = buttonsView_.lock()) buttons->update(positionCanBeChanged);
    if (interactor_) interactor_->update(positionCanBeChanged);
}

void OVPlayerTableViewCell::update(OVAudioPlayerStatus withAudioStatus) {
    if (auto buttons = buttonsView_.lock()) buttons->update(withAudioStatus);
}

void OVPlayerTableViewCell::update(double time, double duration) {
    if (interactor_) interactor_->update(time, duration);
}

void OVPlayerTableViewCell::setButtonsView(const std::shared_ptr<OVPlayerButtonsView>& view) {
    if (auto old = buttonsView_.lock()) old->removeFromSuperview();
    buttonsView_.reset();
    if (!view) return;
    auto container = buttonsViewContainer_.lock();
    buttonsView_ = view;
    container->addSubview(view);
    view->setTranslatesAutoresizingMaskIntoConstraints(false);
    LayoutConstraint::activate({
        view->topAnchor().constraintEqualTo(container->topAnchor()),
        view->bottomAnchor().constraintEqualTo(container->bottomAnchor()),
        view->leftAnchor().constraintEqualTo(container->leftAnchor()),
        view->rightAnchor().constraintEqualTo(container->rightAnchor()),
    });
}

void OVPlayerTableViewCell::setTrackLabelTextMaxLength() {
    trackLabel_.lock()->setTextMaxLength(slider_.lock()->bounds().size.width);
}

void OVPlayerTableViewCell::restartTrackLabelAnimation() { trackLabel_.lock()->restartAnimationIfNeeded(); }

bool OVPlayerTableViewCell::accept(Point touch, const platform::ui::GestureRecognizer& /*forGestureRecognizer*/) {
    auto slider = slider_.lock();
    return !slider->convertRect(slider->bounds(), this).contains(touch);
}

// ---- View models ----

void OVPlayerTableViewCell::update(const OVPlayerTableViewCellModel::Style& withViewModel) {
    auto image = contentImgView_.lock();
    image->setBackgroundColor(withViewModel.backgroundColor);
    customBackgroundView_.lock()->setBackgroundColor(withViewModel.backgroundColor);
    podcastLabel_.lock()->setTextColor(withViewModel.podcastTextColor);
    trackLabel_.lock()->setTextColor(withViewModel.episodeTextColor);
    sliderLeftLabel_.lock()->setTextColor(withViewModel.trackLabelColor);
    sliderRightLabel_.lock()->setTextColor(withViewModel.trackLabelColor);
    image->setSpinAnimationColor(withViewModel.spinAnimationColor);
    std::vector<OVGradientUIView::Point> points;
    points.reserve(withViewModel.gradientColors.size());
    for (const auto& stop : withViewModel.gradientColors) points.push_back({stop.location, stop.color});
    gradientView_->gradient(points);
    auto slider = slider_.lock();
    slider->setMaximumTrackTintColor(withViewModel.maximumTrackTintColor);
    slider->setMinimumTrackTintColor(withViewModel.mainColor);
    slider->setTintColor(withViewModel.mainColor);
}

void OVPlayerTableViewCell::update(const OVPlayerTableViewCellModel::Media& withViewModel) {
    podcastLabel_.lock()->setText(withViewModel.podcast);
    trackLabel_.lock()->setText(withViewModel.edpiode);
    contentImgView_.lock()->setUrl(withViewModel.image);
}

void OVPlayerTableViewCell::update(const OVPlayerTableViewCellModel::AudioPosition& withViewModel) {
    sliderLeftLabel_.lock()->setText(withViewModel.leftLabelText);
    sliderRightLabel_.lock()->setText(withViewModel.rightLabelText);
    slider_.lock()->setValue(withViewModel.progressValue, false);
}

void OVPlayerTableViewCell::update(const OVPlayerTableViewCellModel::PositionCanBeChanged& withViewModel) {
    slider_.lock()->setPositionCanBeChanged(withViewModel.sliderPositionCanBeChanged);
}

// ---- The slider's actions ----

void OVPlayerTableViewCell::sliderValueWasChangedByUser(OVPlayerSlider& sender) {
    if (interactor_) interactor_->sliderValueWasChangedByUser(sender.value());
}

void OVPlayerTableViewCell::sliderValueChangeEnded(OVPlayerSlider& sender) {
    if (interactor_) interactor_->sliderValueChangeEnded(sender.value());
}

void OVPlayerTableViewCell::sliderValueChangeCancelled(OVPlayerSlider& /*sender*/) {
    if (interactor_) interactor_->sliderValueChangeCancelled();
}

void OVPageElement::Player::setDelegates() {
    if (const auto& cell = tableViewCell()) cell->setDelegate(coordinator());
}

}  // namespace orvane
