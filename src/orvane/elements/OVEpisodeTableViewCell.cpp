#include "orvane/elements/OVEpisodeTableViewCell.hpp"

#include <limits>

#include "orvane/elements/OVEpisodeTableViewCellInteractor.hpp"
#include "orvane/model/OVGetAsset.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/ButtonExtensions.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Image;
using platform::graphics::Rect;
using namespace platform::ui;
using Model = OVEpisodeTableViewCellModel;

namespace {

constexpr double margin = 12;
constexpr double artworkSide = 90;
constexpr double artworkCornerRadius = 2;
constexpr double saveButtonSide = 32;
constexpr double equalizerSide = 24;

// The nib's faces; none where a face cannot be made (the kit's fallback then).
std::optional<Font> face(std::string_view name, double size) { return Font::named(name, size); }

LayoutConstraintPtr constant(const LayoutAnchor& anchor, double value) {
    return anchor.constraintEqualToConstant(value);
}

}  // namespace

// The views the nib connects to the row.
struct OVEpisodeTableViewCell::Outlets {
    std::shared_ptr<Label> dateLabel;
    std::shared_ptr<OVImageView> stImageView;
    std::shared_ptr<View> imageOverlay;
    std::shared_ptr<OVEqualizerAnimationView> equalizerAnimationView;
    std::shared_ptr<TextView> episodeTextView;
    LayoutConstraintPtr episodeTextViewHeighConstraint;
    std::shared_ptr<Label> podcastLabel;
    std::shared_ptr<Button> detailsButton;
    LayoutConstraintPtr auxiliaryViewWidthConstraint;
    std::shared_ptr<Button> saveButton;
};

OVEpisodeTableViewCell::OVEpisodeTableViewCell(ConstructorKey key, const Rect& frame) : TableViewCell(key, frame) {}

bool OVEpisodeTableViewCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVEpisodeTableViewCell>(ConstructorKey{}, Rect{0, 0, 375, 145});
    // Clear: the list's background shows through.
    cell->setBackgroundColor(Color::clear());
    const auto& content = cell->contentView();
    Outlets o;
    o.dateLabel = Label::create();
    o.dateLabel->setFont(face("AvenirNext-DemiBold", 12));
    o.stImageView = OVImageView::create(Rect{0, 0, artworkSide, artworkSide});
    o.imageOverlay = View::create(Rect{0, 0, artworkSide, artworkSide});
    o.imageOverlay->setBackgroundColor(Color{0, 0, 0, 0.45});
    o.imageOverlay->setUserInteractionEnabled(false);
    o.imageOverlay->setHidden(true);
    o.equalizerAnimationView = OVEqualizerAnimationView::create(Rect{0, 0, equalizerSide, equalizerSide});
    o.equalizerAnimationView->setHidden(true);
    o.episodeTextView = TextView::create(Rect{114, 38, 213, maximumEpisodeTextViewHeight});
    o.episodeTextView->setEditable(false);
    o.episodeTextView->setSelectable(false);
    o.episodeTextView->setUserInteractionEnabled(false);
    o.episodeTextView->setBackgroundColor(Color::clear());
    o.podcastLabel = Label::create();
    o.podcastLabel->setFont(face("AvenirNext-Medium", 13));
    o.detailsButton = Button::create();
    o.detailsButton->titleLabel()->setFont(face("AvenirNext-DemiBold", 14));
    auto auxiliaryView = View::create();
    auxiliaryView->setClipsToBounds(true);
    o.saveButton = Button::create();

    for (const std::shared_ptr<View>& view :
         {std::static_pointer_cast<View>(o.dateLabel), std::static_pointer_cast<View>(o.stImageView),
          o.imageOverlay, std::static_pointer_cast<View>(o.equalizerAnimationView),
          std::static_pointer_cast<View>(o.episodeTextView), std::static_pointer_cast<View>(o.podcastLabel),
          std::static_pointer_cast<View>(o.detailsButton), auxiliaryView}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
        build.add(view, false);
    }
    o.saveButton->setTranslatesAutoresizingMaskIntoConstraints(false);
    auxiliaryView->addSubview(o.saveButton);
    build.add(o.saveButton, false);

    o.episodeTextViewHeighConstraint = constant(o.episodeTextView->heightAnchor(), maximumEpisodeTextViewHeight);
    o.auxiliaryViewWidthConstraint = constant(auxiliaryView->widthAnchor(), saveButtonSide);
    LayoutConstraint::activate({
        // The date across the top.
        o.dateLabel->topAnchor().constraintEqualTo(content->topAnchor(), 14),
        o.dateLabel->leftAnchor().constraintEqualTo(content->leftAnchor(), margin),
        o.dateLabel->rightAnchor().constraintEqualTo(content->rightAnchor(), -margin),
        constant(o.dateLabel->heightAnchor(), 16),
        // The artwork under it, the overlay over it, the equalizer in its middle.
        o.stImageView->topAnchor().constraintEqualTo(o.dateLabel->bottomAnchor(), 8),
        o.stImageView->leftAnchor().constraintEqualTo(content->leftAnchor(), margin),
        constant(o.stImageView->widthAnchor(), artworkSide),
        constant(o.stImageView->heightAnchor(), artworkSide),
        // The row is as tall as the artwork and its margins ask (145 points).
        content->bottomAnchor().constraintGreaterThanOrEqualTo(o.stImageView->bottomAnchor(), 17),
        o.imageOverlay->topAnchor().constraintEqualTo(o.stImageView->topAnchor()),
        o.imageOverlay->leftAnchor().constraintEqualTo(o.stImageView->leftAnchor()),
        o.imageOverlay->widthAnchor().constraintEqualTo(o.stImageView->widthAnchor()),
        o.imageOverlay->heightAnchor().constraintEqualTo(o.stImageView->heightAnchor()),
        o.equalizerAnimationView->centerXAnchor().constraintEqualTo(o.stImageView->centerXAnchor()),
        o.equalizerAnimationView->centerYAnchor().constraintEqualTo(o.stImageView->centerYAnchor()),
        constant(o.equalizerAnimationView->widthAnchor(), equalizerSide),
        constant(o.equalizerAnimationView->heightAnchor(), equalizerSide),
        // The save area at the right, level with the artwork's top.
        auxiliaryView->topAnchor().constraintEqualTo(o.stImageView->topAnchor()),
        auxiliaryView->rightAnchor().constraintEqualTo(content->rightAnchor(), -margin),
        o.auxiliaryViewWidthConstraint,
        constant(auxiliaryView->heightAnchor(), saveButtonSide),
        o.saveButton->topAnchor().constraintEqualTo(auxiliaryView->topAnchor()),
        o.saveButton->leftAnchor().constraintEqualTo(auxiliaryView->leftAnchor()),
        constant(o.saveButton->widthAnchor(), saveButtonSide),
        constant(o.saveButton->heightAnchor(), saveButtonSide),
        // The title beside the artwork, up to the save area; the podcast under it.
        o.episodeTextView->topAnchor().constraintEqualTo(o.stImageView->topAnchor()),
        o.episodeTextView->leftAnchor().constraintEqualTo(o.stImageView->rightAnchor(), margin),
        o.episodeTextView->rightAnchor().constraintEqualTo(auxiliaryView->leftAnchor(), -4),
        o.episodeTextViewHeighConstraint,
        o.podcastLabel->topAnchor().constraintEqualTo(o.episodeTextView->bottomAnchor(), 4),
        o.podcastLabel->leftAnchor().constraintEqualTo(o.episodeTextView->leftAnchor()),
        o.podcastLabel->rightAnchor().constraintEqualTo(content->rightAnchor(), -margin),
        constant(o.podcastLabel->heightAnchor(), 18),
        // Details level with the artwork's bottom.
        o.detailsButton->bottomAnchor().constraintEqualTo(o.stImageView->bottomAnchor()),
        o.detailsButton->leftAnchor().constraintEqualTo(o.episodeTextView->leftAnchor()),
        constant(o.detailsButton->heightAnchor(), 28),
    });

    build.add(cell);
    build.connect([cell, o] { cell->connect(o); });
    return true;
}

void OVEpisodeTableViewCell::connect(const Outlets& outlets) {
    dateLabel_ = outlets.dateLabel;
    stImageView_ = outlets.stImageView;
    imageOverlay_ = outlets.imageOverlay;
    equalizerAnimationView_ = outlets.equalizerAnimationView;
    episodeTextView_ = outlets.episodeTextView;
    episodeTextViewHeighConstraint_ = outlets.episodeTextViewHeighConstraint;
    podcastLabel_ = outlets.podcastLabel;
    detailsButton_ = outlets.detailsButton;
    auxiliaryViewWidthConstraint_ = outlets.auxiliaryViewWidthConstraint;
    saveButton_ = outlets.saveButton;
}

void OVEpisodeTableViewCell::awakeFromNib() {
    TableViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVEpisodeTableViewCell>(shared_from_this());
    interactor_ = std::make_shared<OVEpisodeTableViewCellInteractor>(
        std::static_pointer_cast<OVEpisodeTableViewCellInput>(self));

    std::optional<Image> plus = OVGetAsset::subscriptionPlusButton();
    if (plus) plus = plus->withRenderingMode(Image::RenderingMode::alwaysTemplate);
    saveButton_->setImage(plus, ControlState::normal);
    saveButton_->addTarget(self, &OVEpisodeTableViewCell::didTapSave, ControlEvents::touchUpInside);

    stImageView_->setImageContentMode(ContentMode::scaleAspectFill);
    stImageView_->setClipsToBounds(true);
    stImageView_->layer()->setCornerRadius(artworkCornerRadius);
    imageOverlay_->setClipsToBounds(true);
    imageOverlay_->layer()->setCornerRadius(artworkCornerRadius);
    setSelectionStyle(TableViewCellSelectionStyle::standard);

    episodeTextView_->setTextContainerInset(EdgeInsets{0, 0, 0, 0});
    episodeTextView_->setLineFragmentPadding(0);
    episodeTextView_->setMaximumNumberOfLines(2);
    episodeTextView_->setLineBreakMode(LineBreakMode::byTruncatingTail);

    saveButton_->setHidden(true);

    detailsButton_->setTitle(localized("EPISODE_CELL_DETAILS"), ControlState::normal);
    detailsButton_->addTarget(self, &OVEpisodeTableViewCell::didTapDetails, ControlEvents::touchUpInside);
    // As wide as its title, so the title starts at the button's left.
    detailsButton_->widthAnchor()
        .constraintEqualToConstant(detailsButton_->titleLabel()->intrinsicContentSize().width)
        ->setActive(true);
}

// ---- Inputs, forwarded unchanged ----

void OVEpisodeTableViewCell::update(const OVTheme& withTheme, const Color& andMainColor) {
    interactor_->update(withTheme, andMainColor);
}

void OVEpisodeTableViewCell::update(const OVTrackInPodcast& withEpisodeInPodcast) {
    interactor_->update(withEpisodeInPodcast);
}

void OVEpisodeTableViewCell::update(const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) {
    interactor_->update(withCurrentEpisode, inPodcast);
}

void OVEpisodeTableViewCell::update(OVAudioPlayerStatus withAudioStatus) { interactor_->update(withAudioStatus); }

void OVEpisodeTableViewCell::updateAuxiliaryViewIsHidden(bool auxiliaryViewIsHidden) {
    interactor_->updateAuxiliaryViewIsHidden(auxiliaryViewIsHidden);
}

void OVEpisodeTableViewCell::updateEpisodeCanBeSaved(bool episodeCanBeSaved) {
    interactor_->updateEpisodeCanBeSaved(episodeCanBeSaved);
}

void OVEpisodeTableViewCell::setEpisodeTextViewHeight() {
    const double width = episodeTextView_->bounds().size.width;
    measuredTitleWidth_ = width;
    const double fitted =
        episodeTextView_->sizeThatFits({width, static_cast<double>(std::numeric_limits<float>::max())}).height;
    const double height = std::min(fitted, maximumEpisodeTextViewHeight);
    if (episodeTextViewHeighConstraint_->constant() != height) episodeTextViewHeighConstraint_->setConstant(height);
}

void OVEpisodeTableViewCell::layoutSubviews() {
    TableViewCell::layoutSubviews();
    if (episodeTextView_ && episodeTextView_->bounds().size.width != measuredTitleWidth_) {
        setEpisodeTextViewHeight();
        setNeedsLayout();
    }
}

// ---- Records ----

void OVEpisodeTableViewCell::update(const Model::Style& withViewModel) {
    dateLabel_->setTextColor(withViewModel.dateTextColor);
    stImageView_->setSpinAnimationColor(withViewModel.spinAnimationColor);
    equalizerAnimationView_->setColor(withViewModel.equalizerAnimationColor);
    episodeTextView_->setTextColor(withViewModel.episodeTextColor);
    podcastLabel_->setTextColor(withViewModel.podcastTextColor);
    detailsButton_->setTintColor(withViewModel.detailsButtonTextColor);
    // The title of the nib's system button follows its tint.
    detailsButton_->setTitleColor(withViewModel.detailsButtonTextColor, ControlState::normal);
    saveButton_->setTintColor(withViewModel.suscribeButtonTintColor);
}

void OVEpisodeTableViewCell::update(const Model::Data& withViewModel) {
    dateLabel_->setText(withViewModel.date);
    stImageView_->setUrl(withViewModel.image);
    episodeTextView_->setAttributedText(withViewModel.episode);
    podcastLabel_->setText(withViewModel.podcast);
    setEpisodeTextViewHeight();
}

void OVEpisodeTableViewCell::update(const Model::CurrentTrack& withViewModel) {
    imageOverlay_->setHidden(withViewModel.imageOverlayIsHidden);
    equalizerAnimationView_->setHidden(withViewModel.equalizerAnimationViewIsHidden);
}

void OVEpisodeTableViewCell::update(const Model::AudioStatus& withViewModel) {
    if (withViewModel.equalizerAnimationsIsPlaying) {
        equalizerAnimationView_->startAnimation();
    } else {
        equalizerAnimationView_->stopAnimation();
    }
}

void OVEpisodeTableViewCell::update(const Model::AuxiliaryView& withViewModel) {
    auxiliaryViewWidthConstraint_->setConstant(withViewModel.auxiliaryViewWidth);
}

void OVEpisodeTableViewCell::update(const Model::Save& withViewModel) {
    saveButton_->setHidden(withViewModel.saveButtonIsHidden);
}

// ---- Taps ----

void OVEpisodeTableViewCell::didTapDetails(Button&) { interactor_->didTapDetails(); }

void OVEpisodeTableViewCell::didTapSave(Button&) {
    // The pair shown now is the one saved, even if the row shows another
    // episode by the time the pop is over.
    auto episode = interactor_->track();
    auto podcast = interactor_->podcast();
    tapAnimation(saveButton_, [weak = std::weak_ptr<OVEpisodeTableViewCell>(
                                   std::static_pointer_cast<OVEpisodeTableViewCell>(shared_from_this())),
                               episode = std::move(episode), podcast = std::move(podcast)] {
        const auto row = weak.lock();
        if (!row) return;
        row->saveButton_->setHidden(true);
        row->interactor_->didTapSave(episode, podcast);
    });
}

}  // namespace orvane
