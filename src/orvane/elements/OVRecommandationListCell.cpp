#include "orvane/elements/OVRecommandationListCell.hpp"

#include <algorithm>

#include "orvane/elements/OVRecommandationListCellInteractor.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::EdgeInsets;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {
// The inner table's height constraint is strong but gives way to the page.
constexpr double tableHeightPriority = 750;
}  // namespace

OVRecommandationListCell::OVRecommandationListCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame), cellHeight_(OVConstants::OVEpisodeTableViewCell::cellHeight) {}

bool OVRecommandationListCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVRecommandationListCell>(ConstructorKey{}, Rect{0, 0, 375, 44});
    const auto& content = cell->contentView();
    auto header = Label::create();
    auto table = TableView::create(Rect{0, 0, 351, 0});
    table->setBackgroundColor(Color::clear());
    for (const std::shared_ptr<View>& view : {std::static_pointer_cast<View>(header), std::static_pointer_cast<View>(table)}) {
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        content->addSubview(view);
        build.add(view, false);
    }
    auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        header->topAnchor().constraintEqualTo(margins.topAnchor()),
        header->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        header->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        table->topAnchor().constraintEqualTo(header->bottomAnchor(), 8),
        table->leftAnchor().constraintEqualTo(margins.leftAnchor()),
        table->rightAnchor().constraintEqualTo(margins.rightAnchor()),
        table->bottomAnchor().constraintEqualTo(margins.bottomAnchor()),
    });
    build.add(cell);
    build.connect([cell, header, table] {
        cell->headerLabel_ = header;
        cell->tableView_ = table;
    });
    return true;
}

void OVRecommandationListCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVRecommandationListCell>(OVPageElementTableViewCell::shared_from_this());
    interactor_ = std::make_shared<OVRecommandationListCellInteractor>(
        std::static_pointer_cast<OVRecommandationListCellInput>(self));
    initializeUI();
    tableView_->registerNib(std::string(OVEpisodeTableViewCell::ReuseIdentifier),
                            std::string(OVEpisodeTableViewCell::ReuseIdentifier));
}

void OVRecommandationListCell::initializeUI() {
    tableView_->setDataSource(interactor_);
    tableView_->setDelegate(std::static_pointer_cast<OVRecommandationListCell>(
        OVPageElementTableViewCell::shared_from_this()));
    tableView_->setScrollEnabled(false);
    tableView_->setSeparatorInset(EdgeInsets{0, 0, 0, 0});

    tableviewHeightConstraint_ = tableView_->heightAnchor().constraintEqualToConstant(0);
    tableviewHeightConstraint_->setPriority(tableHeightPriority);
    tableviewHeightConstraint_->setActive(true);

    headerLabel_->setFont(OVConstants::OVPageElementTableViewCell::headerFont());
    headerLabel_->setText(localized("RECOMMENDATION_LIST_CELL_HEADER"));
}

// ---- From the main page ----

void OVRecommandationListCell::update(const OVTheme& theme, const Color& mainColor) {
    interactor_->update(theme, mainColor);
}

void OVRecommandationListCell::update(std::vector<OVTrackInPodcast> withRecommendations) {
    interactor_->update(std::move(withRecommendations));
}

// ---- From the presenter ----

void OVRecommandationListCell::update(const OVRecommandationListCellModel::Style& withViewModel) {
    contentView()->setBackgroundColor(withViewModel.backgroundColor);
    headerLabel_->setTextColor(withViewModel.headerTextColor);
    tableView_->setSeparatorColor(withViewModel.separatorColor);
}

void OVRecommandationListCell::dataSourceDidUpdate() {
    tableView_->reloadData();
    updateCellHeight();
}

void OVRecommandationListCell::updateCellHeight() {
    const auto dataSource = tableView_->dataSource();
    if (!dataSource || !tableviewHeightConstraint_) return;
    const int rows = dataSource->numberOfRows(*tableView_, 0);
    // The last row's bottom line is left out; no row, no height.
    tableviewHeightConstraint_->setConstant(rows > 0 ? cellHeight_ * rows - 1 : 0);
}

// ---- The inner table's delegate ----

double OVRecommandationListCell::heightForRow(TableView&, const IndexPath&) { return cellHeight_; }

void OVRecommandationListCell::didSelectRow(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRow(indexPath, true);
    interactor_->didSelectRow(indexPath);
}

}  // namespace orvane
