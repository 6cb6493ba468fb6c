#include "orvane/elements/OVLibraryPodcastsListCell.hpp"

#include "orvane/elements/OVLibraryPodcastCell.hpp"
#include "orvane/elements/OVLibraryPodcastsListCellInteractor.hpp"
#include "orvane/toolkit/OVConstants.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::Rect;
using namespace platform::ui;

OVLibraryPodcastsListCell::OVLibraryPodcastsListCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame), cellHeight_(OVConstants::OVLibraryPodcastsListCell::cellHeight) {}

bool OVLibraryPodcastsListCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVLibraryPodcastsListCell>(ConstructorKey{}, Rect{0, 0, 375, 44});
    const auto& content = cell->contentView();
    // The rows span the page's width and draw their own margins.
    auto table = TableView::create(Rect{0, 0, 375, 0});
    table->setBackgroundColor(Color::clear());
    table->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(table);
    build.add(table, false);
    LayoutConstraint::activate({
        table->topAnchor().constraintEqualTo(content->topAnchor()),
        table->leftAnchor().constraintEqualTo(content->leftAnchor()),
        table->rightAnchor().constraintEqualTo(content->rightAnchor()),
        table->bottomAnchor().constraintEqualTo(content->bottomAnchor()),
    });
    build.add(cell);
    build.connect([cell, table] { cell->tableView_ = table; });
    return true;
}

void OVLibraryPodcastsListCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVLibraryPodcastsListCell>(OVPageElementTableViewCell::shared_from_this());
    interactor_ = std::make_shared<OVLibraryPodcastsListCellInteractor>(
        std::static_pointer_cast<OVLibraryPodcastsListCellInput>(self));
    initializeUI();
    tableView_->registerNib(std::string(OVLibraryPodcastCell::ReuseIdentifier),
                            std::string(OVLibraryPodcastCell::ReuseIdentifier));
}

void OVLibraryPodcastsListCell::initializeUI() {
    tableView_->setDataSource(interactor_);
    tableView_->setDelegate(std::static_pointer_cast<OVLibraryPodcastsListCell>(
        OVPageElementTableViewCell::shared_from_this()));
    tableView_->setScrollEnabled(false);
    // The rows draw their own line.
    tableView_->setSeparatorStyle(TableViewCellSeparatorStyle::none);
    tableviewHeightConstraint_ = tableView_->heightAnchor().constraintEqualToConstant(0);
    tableviewHeightConstraint_->setActive(true);
}

void OVLibraryPodcastsListCell::update(const OVTheme& theme, const Color& mainColor) {
    interactor_->update(theme, mainColor);
}

void OVLibraryPodcastsListCell::update(const OVMock::UserData& withUserData) { interactor_->update(withUserData); }

void OVLibraryPodcastsListCell::update(const OVLibraryPodcastsListCellModel::Style& withViewModel) {
    contentView()->setBackgroundColor(withViewModel.backgroundColor);
}

void OVLibraryPodcastsListCell::dataSourceDidUpdate() {
    tableView_->reloadData();
    updateCellHeight();
}

void OVLibraryPodcastsListCell::updateCellHeight() {
    const auto dataSource = tableView_->dataSource();
    if (!dataSource || !tableviewHeightConstraint_) return;
    const int rows = dataSource->numberOfRows(*tableView_, 0);
    tableviewHeightConstraint_->setConstant(cellHeight_ * rows);
}

double OVLibraryPodcastsListCell::heightForRow(TableView&, const IndexPath&) { return cellHeight_; }

void OVLibraryPodcastsListCell::didSelectRow(TableView&, const IndexPath& indexPath) {
    interactor_->didSelectRow(indexPath);
}

}  // namespace orvane
