#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"

#include <algorithm>

#include "orvane/elements/OVRecommendationHeadlinesCellInteractor.hpp"
#include "orvane/elements/OVRecommendationHeadlinesPodcastCell.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::EdgeInsets;
using platform::graphics::Rect;
using namespace platform::ui;

OVRecommendationHeadlinesCell::OVRecommendationHeadlinesCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVRecommendationHeadlinesCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVRecommendationHeadlinesCell>(ConstructorKey{}, Rect{0, 0, 375, 44});
    const auto& content = cell->contentView();
    auto header = Label::create();
    auto carousel = CollectionView::create(Rect{0, 0, 375, 0}, CollectionViewFlowLayout{});
    carousel->setBackgroundColor(Color::clear());
    carousel->setShowsHorizontalScrollIndicator(false);
    for (const std::shared_ptr<View>& view :
         {std::static_pointer_cast<View>(header), std::static_pointer_cast<View>(carousel)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
        build.add(view, false);
    }
    const double margin = OVConstants::OVPageElementTableViewCell::horizontalMargin;
    // The carousel fills what the row's height leaves under the header band.
    auto carouselBottom = carousel->bottomAnchor().constraintEqualTo(content->bottomAnchor());
    carouselBottom->setPriority(999);
    LayoutConstraint::activate({
        header->topAnchor().constraintEqualTo(content->topAnchor(), 4),
        header->leftAnchor().constraintEqualTo(content->leftAnchor(), margin),
        header->rightAnchor().constraintEqualTo(content->rightAnchor(), -margin),
        header->heightAnchor().constraintEqualToConstant(24),
        carousel->topAnchor().constraintEqualTo(content->topAnchor(), headerBand),
        carousel->leftAnchor().constraintEqualTo(content->leftAnchor()),
        carousel->rightAnchor().constraintEqualTo(content->rightAnchor()),
        carousel->heightAnchor().constraintGreaterThanOrEqualToConstant(0),
        carouselBottom,
    });
    build.add(cell);
    build.connect([cell, header, carousel] {
        cell->headerLabel_ = header;
        cell->collectionView_ = carousel;
    });
    return true;
}

void OVRecommendationHeadlinesCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    contentView()->setLayoutMargins(EdgeInsets{OVConstants::OVPageElementTableViewCell::topMargin, 0, 0, 0});
    const double margin = OVConstants::OVPageElementTableViewCell::horizontalMargin;
    collectionView_->setContentInset(EdgeInsets{0, margin, 0, 0});
    // At rest the first item stands at the inset.
    collectionView_->setContentOffset({-margin, 0});
    auto self = std::static_pointer_cast<OVRecommendationHeadlinesCell>(OVPageElementTableViewCell::shared_from_this());
    interactor_ = std::make_shared<OVRecommendationHeadlinesCellInteractor>(
        std::static_pointer_cast<OVRecommendationHeadlinesCellInput>(self));
    collectionView_->registerNib(std::string(OVRecommendationHeadlinesPodcastCell::ReuseIdentifier),
                                 std::string(OVRecommendationHeadlinesPodcastCell::ReuseIdentifier));
    CollectionViewFlowLayout layout;
    layout.minimumInteritemSpacing = interitemSpacing;
    layout.scrollDirection = CollectionViewScrollDirection::horizontal;
    collectionView_->setCollectionViewLayout(layout);
    collectionView_->setDataSource(interactor_);
    collectionView_->setDelegate(std::static_pointer_cast<CollectionViewDelegate>(self));
    heightConstraint_ = contentView()->heightAnchor().constraintEqualToConstant(0);
    heightConstraint_->setActive(true);
    headerLabel_->setFont(OVConstants::OVPageElementTableViewCell::headerFont());
    headerLabel_->setText(localized("RECOMMENDATION_HEADLINES_PAGE_ELEMENT_HEADER"));
}

void OVRecommendationHeadlinesCell::setHeight() {
    const double pageWidth = std::max(0.0, OVPage::width().value_or(0));
    const double itemWidth = pageWidth * 0.9;
    const double itemHeight = itemWidth * 3 / 5 + OVRecommendationHeadlinesPodcastCell::textsHeight;
    CollectionViewFlowLayout layout = collectionView_->collectionViewLayout();
    layout.itemSize = {itemWidth, itemHeight};
    collectionView_->setCollectionViewLayout(layout);
    heightConstraint_->setConstant(itemHeight + headerBand);
}

void OVRecommendationHeadlinesCell::update(std::vector<OVContent> withRecommendations) {
    interactor_->update(std::move(withRecommendations));
}

void OVRecommendationHeadlinesCell::update(const OVTheme& theme, const Color& mainColor) {
    interactor_->update(theme, std::optional<Color>(mainColor));
}

void OVRecommendationHeadlinesCell::update(const OVTheme& theme, const std::optional<Color>& mainColor) {
    interactor_->update(theme, mainColor);
}

void OVRecommendationHeadlinesCell::update(const OVRecommendationHeadlinesCellInputModel::Style& style) {
    contentView()->setBackgroundColor(style.backgroundColor);
    headerLabel_->setTextColor(style.headerTextColor);
}

void OVRecommendationHeadlinesCell::dataSourceDidUpdate() { collectionView_->reloadData(); }

void OVRecommendationHeadlinesCell::didSelectItem(CollectionView&, const IndexPath& indexPath) {
    interactor_->didSelectRow(indexPath);
}

double OVRecommendationHeadlinesCell::minimumInteritemSpacingForSection(CollectionView&, int) { return interitemSpacing; }

}  // namespace orvane
