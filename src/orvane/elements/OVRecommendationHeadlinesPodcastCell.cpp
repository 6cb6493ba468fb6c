#include "orvane/elements/OVRecommendationHeadlinesPodcastCell.hpp"

#include "orvane/elements/OVRecommendationHeadlinesPodcastCellInteractor.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

OVRecommendationHeadlinesPodcastCell::OVRecommendationHeadlinesPodcastCell(ConstructorKey key, const Rect& frame)
    : CollectionViewCell(key, frame) {}

bool OVRecommendationHeadlinesPodcastCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVRecommendationHeadlinesPodcastCell>(ConstructorKey{}, Rect{0, 0, 337.5, 284.5});
    const auto& content = cell->contentView();
    auto image = OVImageView::create(Rect{0, 0, 337.5, 202.5});
    image->setClipsToBounds(true);
    auto podcast = Label::create();
    podcast->setFont(Font::named("AvenirNext-DemiBold", 16));
    auto editor = Label::create();
    editor->setFont(Font::named("AvenirNext-Medium", 13));
    for (const std::shared_ptr<View>& view : {std::static_pointer_cast<View>(image), std::static_pointer_cast<View>(podcast),
                                              std::static_pointer_cast<View>(editor)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
        build.add(view, false);
    }
    LayoutConstraint::activate({
        image->topAnchor().constraintEqualTo(content->topAnchor()),
        image->leftAnchor().constraintEqualTo(content->leftAnchor()),
        image->rightAnchor().constraintEqualTo(content->rightAnchor()),
        image->bottomAnchor().constraintEqualTo(content->bottomAnchor(), -textsHeight),
        podcast->topAnchor().constraintEqualTo(image->bottomAnchor(), 16),
        podcast->leftAnchor().constraintEqualTo(content->leftAnchor()),
        podcast->rightAnchor().constraintEqualTo(content->rightAnchor()),
        podcast->heightAnchor().constraintEqualToConstant(20),
        editor->topAnchor().constraintEqualTo(podcast->bottomAnchor(), 4),
        editor->leftAnchor().constraintEqualTo(content->leftAnchor()),
        editor->rightAnchor().constraintEqualTo(content->rightAnchor()),
        editor->heightAnchor().constraintEqualToConstant(18),
    });
    build.add(cell);
    build.connect([cell, image, podcast, editor] {
        cell->imageView_ = image;
        cell->podcastLabel_ = podcast;
        cell->editorLabel_ = editor;
    });
    return true;
}

void OVRecommendationHeadlinesPodcastCell::awakeFromNib() {
    CollectionViewCell::awakeFromNib();
    interactor_ = std::make_shared<OVRecommendationHeadlinesPodcastCellInteractor>(
        std::static_pointer_cast<OVRecommendationHeadlinesPodcastCellInput>(
            std::static_pointer_cast<OVRecommendationHeadlinesPodcastCell>(shared_from_this())));
    imageView_->setImageContentMode(ContentMode::scaleAspectFill);
    imageView_->layer()->setCornerRadius(2.0);
}

void OVRecommendationHeadlinesPodcastCell::update(const OVTheme& withTheme, const std::optional<Color>& andMainColor) {
    interactor_->update(withTheme, andMainColor);
}

void OVRecommendationHeadlinesPodcastCell::update(const OVContent& withPodcast) { interactor_->update(withPodcast); }

void OVRecommendationHeadlinesPodcastCell::update(const OVRecommendationHeadlinesPodcastCellModel::Style& style) {
    podcastLabel_->setTextColor(style.podcastTextColor);
    editorLabel_->setTextColor(style.editorTextColor);
}

void OVRecommendationHeadlinesPodcastCell::update(const OVRecommendationHeadlinesPodcastCellModel::Data& data) {
    imageView_->setUrl(data.image);
    podcastLabel_->setText(data.podcast);
    editorLabel_->setText(data.editor);
}

}  // namespace orvane
