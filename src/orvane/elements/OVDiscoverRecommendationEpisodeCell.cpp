#include "orvane/elements/OVDiscoverRecommendationEpisodeCell.hpp"

#include "orvane/elements/OVDiscoverRecommendationEpisodeCellInteractor.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {

constexpr double artworkCornerRadius = 2;
constexpr double equalizerSide = 24;
// Under the artwork: 8, the title (20), 4, the podcast (18), 8.
constexpr double textsHeight = 58;

}  // namespace

struct OVDiscoverRecommendationEpisodeCell::Outlets {
    std::shared_ptr<OVImageView> imageView;
    std::shared_ptr<View> imageOverlay;
    std::shared_ptr<OVEqualizerAnimationView> equalizerAnimationView;
    std::shared_ptr<Label> episodeLabel;
    std::shared_ptr<Label> podcastLabel;
};

OVDiscoverRecommendationEpisodeCell::OVDiscoverRecommendationEpisodeCell(ConstructorKey key, const Rect& frame)
    : CollectionViewCell(key, frame) {}

bool OVDiscoverRecommendationEpisodeCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVDiscoverRecommendationEpisodeCell>(ConstructorKey{}, Rect{0, 0, 169.5, 227.5});
    const auto& content = cell->contentView();
    Outlets o;
    o.imageView = OVImageView::create(Rect{0, 0, 169.5, 169.5});
    o.imageView->setClipsToBounds(true);
    o.imageOverlay = View::create(Rect{0, 0, 169.5, 169.5});
    o.imageOverlay->setBackgroundColor(Color{0, 0, 0, 0.45});
    o.imageOverlay->setUserInteractionEnabled(false);
    o.imageOverlay->setHidden(true);
    o.equalizerAnimationView = OVEqualizerAnimationView::create(Rect{0, 0, equalizerSide, equalizerSide});
    o.equalizerAnimationView->setHidden(true);
    o.episodeLabel = Label::create();
    o.episodeLabel->setFont(Font::named("AvenirNext-DemiBold", 15));
    o.podcastLabel = Label::create();
    o.podcastLabel->setFont(Font::named("AvenirNext-Medium", 13));
    for (const std::shared_ptr<View>& view :
         {std::static_pointer_cast<View>(o.imageView), o.imageOverlay,
          std::static_pointer_cast<View>(o.equalizerAnimationView), std::static_pointer_cast<View>(o.episodeLabel),
          std::static_pointer_cast<View>(o.podcastLabel)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
        build.add(view, false);
    }
    LayoutConstraint::activate({
        // The artwork across the item, the texts under it.
        o.imageView->topAnchor().constraintEqualTo(content->topAnchor()),
        o.imageView->leftAnchor().constraintEqualTo(content->leftAnchor()),
        o.imageView->rightAnchor().constraintEqualTo(content->rightAnchor()),
        o.imageView->bottomAnchor().constraintEqualTo(content->bottomAnchor(), -textsHeight),
        o.imageOverlay->topAnchor().constraintEqualTo(o.imageView->topAnchor()),
        o.imageOverlay->leftAnchor().constraintEqualTo(o.imageView->leftAnchor()),
        o.imageOverlay->rightAnchor().constraintEqualTo(o.imageView->rightAnchor()),
        o.imageOverlay->bottomAnchor().constraintEqualTo(o.imageView->bottomAnchor()),
        o.equalizerAnimationView->centerXAnchor().constraintEqualTo(o.imageView->centerXAnchor()),
        o.equalizerAnimationView->centerYAnchor().constraintEqualTo(o.imageView->centerYAnchor()),
        o.equalizerAnimationView->widthAnchor().constraintEqualToConstant(equalizerSide),
        o.equalizerAnimationView->heightAnchor().constraintEqualToConstant(equalizerSide),
        o.episodeLabel->topAnchor().constraintEqualTo(o.imageView->bottomAnchor(), 8),
        o.episodeLabel->leftAnchor().constraintEqualTo(content->leftAnchor()),
        o.episodeLabel->rightAnchor().constraintEqualTo(content->rightAnchor()),
        o.episodeLabel->heightAnchor().constraintEqualToConstant(20),
        o.podcastLabel->topAnchor().constraintEqualTo(o.episodeLabel->bottomAnchor(), 4),
        o.podcastLabel->leftAnchor().constraintEqualTo(content->leftAnchor()),
        o.podcastLabel->rightAnchor().constraintEqualTo(content->rightAnchor()),
        o.podcastLabel->heightAnchor().constraintEqualToConstant(18),
    });
    build.add(cell);
    build.connect([cell, o] { cell->connect(o); });
    return true;
}

void OVDiscoverRecommendationEpisodeCell::connect(const Outlets& o) {
    imageView_ = o.imageView;
    imageOverlay_ = o.imageOverlay;
    equalizerAnimationView_ = o.equalizerAnimationView;
    episodeLabel_ = o.episodeLabel;
    podcastLabel_ = o.podcastLabel;
}

void OVDiscoverRecommendationEpisodeCell::awakeFromNib() {
    CollectionViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVDiscoverRecommendationEpisodeCell>(shared_from_this());
    interactor_ = std::make_shared<OVDiscoverRecommendationEpisodeCellInteractor>(
        std::static_pointer_cast<OVDiscoverRecommendationEpisodeCellInput>(self));
    imageView_->setImageContentMode(ContentMode::scaleAspectFill);
    imageView_->layer()->setCornerRadius(artworkCornerRadius);
    imageOverlay_->setClipsToBounds(true);
    imageOverlay_->layer()->setCornerRadius(artworkCornerRadius);
    equalizerAnimationView_->setColor(Color::white());
}

void OVDiscoverRecommendationEpisodeCell::update(const OVTheme& withTheme, const Color& andMainColor) {
    interactor_->update(withTheme, andMainColor);
}

void OVDiscoverRecommendationEpisodeCell::update(const std::shared_ptr<OVTrack>& withEpisode,
                                                 const OVContent& inPodcast) {
    interactor_->update(withEpisode, inPodcast);
}

void OVDiscoverRecommendationEpisodeCell::updateWithCurrentEpisode(const std::shared_ptr<OVTrack>& withCurrentEpisode,
                                                                   const OVContent& inPodcast) {
    interactor_->updateWithCurrentEpisode(withCurrentEpisode, inPodcast);
}

void OVDiscoverRecommendationEpisodeCell::update(OVAudioPlayerStatus withAudioStatus) {
    interactor_->update(withAudioStatus);
}

void OVDiscoverRecommendationEpisodeCell::update(const OVDiscoverRecommendationEpisodeCellModel::Style& style) {
    episodeLabel_->setTextColor(style.epdisodeTextColor);
    podcastLabel_->setTextColor(style.podcastTextColor);
}

void OVDiscoverRecommendationEpisodeCell::update(const OVDiscoverRecommendationEpisodeCellModel::Data& data) {
    imageView_->setUrl(data.image);
    episodeLabel_->setText(data.epdisode);
    podcastLabel_->setText(data.podcast);
}

void OVDiscoverRecommendationEpisodeCell::update(const OVDiscoverRecommendationEpisodeCellModel::CurrentTrack& current) {
    imageOverlay_->setHidden(current.imageOverlayIsHidden);
    equalizerAnimationView_->setHidden(current.equalizerAnimationViewIsHidden);
}

void OVDiscoverRecommendationEpisodeCell::update(const OVDiscoverRecommendationEpisodeCellModel::AudioStatus& status) {
    if (status.equalizerAnimationsIsPlaying) {
        equalizerAnimationView_->startAnimation();
    } else {
        equalizerAnimationView_->stopAnimation();
    }
}

}  // namespace orvane
