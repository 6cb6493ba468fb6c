#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"

#include <algorithm>

#include "orvane/elements/OVDiscoverRecommendationEpisodeCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCellInteractor.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {

// From the content's top margin to the grid: the header and its gap.
constexpr double headerBand = 34;
// Under each item's artwork: its two lines of text.
constexpr double itemTexts = 58;

}  // namespace

OVDiscoverRecommendationsCell::OVDiscoverRecommendationsCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame) {}

bool OVDiscoverRecommendationsCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVDiscoverRecommendationsCell>(ConstructorKey{}, Rect{0, 0, 375, 44});
    const auto& content = cell->contentView();
    auto header = Label::create();
    auto grid = CollectionView::create(Rect{0, 0, 351, 0}, CollectionViewFlowLayout{});
    grid->setBackgroundColor(Color::clear());
    for (const std::shared_ptr<View>& view : {std::static_pointer_cast<View>(header), std::static_pointer_cast<View>(grid)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
        build.add(view, false);
    }
    auto& margins = content->layoutMarginsGuide();
    // The grid fills what the content's height leaves under the header, and
    // shrinks to nothing rather than below.
    auto gridBottom = grid->bottomAnchor().constraintEqualTo(content->bottomAnchor());
    gridBottom->setPriority(999);
    LayoutConstraint::activate({
        header->topAnchor().constraintEqualTo(margins.topAnchor()),
        header->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        header->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        header->heightAnchor().constraintEqualToConstant(24),
        grid->topAnchor().constraintEqualTo(margins.topAnchor(), headerBand),
        grid->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        grid->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        grid->heightAnchor().constraintGreaterThanOrEqualToConstant(0),
        gridBottom,
    });
    build.add(cell);
    build.connect([cell, header, grid] {
        cell->headerLabel_ = header;
        cell->collectionView_ = grid;
    });
    return true;
}

void OVDiscoverRecommendationsCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVDiscoverRecommendationsCell>(OVPageElementTableViewCell::shared_from_this());
    interactor_ = std::make_shared<OVDiscoverRecommendationsCellInteractor>(
        std::static_pointer_cast<OVDiscoverRecommendationsCellInput>(self));
    collectionView_->registerNib(std::string(OVDiscoverRecommendationEpisodeCell::ReuseIdentifier),
                                 std::string(OVDiscoverRecommendationEpisodeCell::ReuseIdentifier));
    CollectionViewFlowLayout layout;
    layout.scrollDirection = CollectionViewScrollDirection::vertical;
    // The grid's delegate gives these too.
    layout.minimumInteritemSpacing = interitemSpacing;
    layout.minimumLineSpacing = lineSpacing;
    collectionView_->setCollectionViewLayout(layout);
    collectionView_->setScrollEnabled(false);
    collectionView_->setDataSource(interactor_);
    collectionView_->setDelegate(std::static_pointer_cast<CollectionViewDelegate>(self));
    heightConstraint_ = contentView()->heightAnchor().constraintEqualToConstant(0);
    heightConstraint_->setActive(true);
    headerLabel_->setFont(OVConstants::OVPageElementTableViewCell::headerFont());
    headerLabel_->setText(localized("DISCOVER_RECOMMENDATIONS_PAGE_ELEMENT_HEADER"));
}

void OVDiscoverRecommendationsCell::setHeight() {
    const auto& pageWidth = OVPage::width();
    if (!pageWidth) return;
    const double margin = OVConstants::OVPageElementTableViewCell::horizontalMargin;
    const double itemWidth = std::max(0.0, (*pageWidth - 3 * margin) / 2);
    const double itemHeight = itemWidth + itemTexts;
    CollectionViewFlowLayout layout = collectionView_->collectionViewLayout();
    layout.itemSize = {itemWidth, itemHeight};
    collectionView_->setCollectionViewLayout(layout);
    cellHeight_ = itemHeight;
}

void OVDiscoverRecommendationsCell::update(std::vector<Recommendation> withRecommendations) {
    interactor_->update(std::move(withRecommendations));
}

void OVDiscoverRecommendationsCell::update(const OVTheme& theme, const Color& mainColor) {
    interactor_->update(theme, mainColor);
}

void OVDiscoverRecommendationsCell::update(const std::shared_ptr<OVTrack>& forEpisode, const OVContent& inPodcast) {
    interactor_->update(collectionView_->visibleCells(), forEpisode, inPodcast);
}

void OVDiscoverRecommendationsCell::update(OVAudioPlayerStatus withAudioStatus) {
    interactor_->update(collectionView_->visibleCells(), withAudioStatus);
}

void OVDiscoverRecommendationsCell::update(const OVDiscoverRecommendationsCellInputModel::Style& style) {
    contentView()->setBackgroundColor(style.backgroundColor);
    headerLabel_->setTextColor(style.headerTextColor);
    const double margin = OVConstants::OVPageElementTableViewCell::horizontalMargin;
    displaySeparator(Separator::Configuration{.color = style.separatorColor,
                                              .position = Separator::Position::top,
                                              .height = OVConstants::OVPageElementTableViewCell::separatorHaight,
                                              .leftInset = margin,
                                              .rightInset = -margin});
}

void OVDiscoverRecommendationsCell::dataSourceDidUpdate() {
    // Items past a shorter list are never asked for again.
    collectionView_->reloadData();
    updateCellHeight();
}

void OVDiscoverRecommendationsCell::updateCellHeight() {
    const auto dataSource = collectionView_->dataSource();
    if (!dataSource || !heightConstraint_) return;
    const int items = dataSource->numberOfItems(*collectionView_, 0);
    const int rows = items / 2 + items % 2;
    // No rows, no spacing between them: the header stands whole over an
    // empty grid.
    const int gaps = std::max(rows - 1, 0);
    heightConstraint_->setConstant(cellHeight_ * rows + lineSpacing * gaps + headerBand +
                                   OVConstants::OVPageElementTableViewCell::topMargin);
}

void OVDiscoverRecommendationsCell::didSelectItem(CollectionView&, const IndexPath& indexPath) {
    interactor_->didSelectRow(indexPath);
}

double OVDiscoverRecommendationsCell::minimumInteritemSpacingForSection(CollectionView&, int) { return interitemSpacing; }

double OVDiscoverRecommendationsCell::minimumLineSpacingForSection(CollectionView&, int) { return lineSpacing; }

}  // namespace orvane
