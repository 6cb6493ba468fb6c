#include "orvane/elements/OVPodcastEpisodesListCell.hpp"

#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCellInteractor.hpp"
#include "orvane/toolkit/OVConstants.hpp"
#include "platform/core/DebugPrint.hpp"

namespace orvane {

using platform::graphics::Color;
using platform::graphics::EdgeInsets;
using platform::graphics::Rect;
using namespace platform::ui;

namespace {

constexpr double headerHeight = 22 + OVConstants::OVPageElementTableViewCell::topMargin;
// The inner table's height is strong but gives way when the cell is given a
// fixed height (the cell sizes itself to it otherwise).
constexpr double tableHeightPriority = 750;

std::optional<OVPodcastEpisodesListSection> sectionOf(int index) {
    switch (index) {
        case 0: return OVPodcastEpisodesListSection::savedEpisodes;
        case 1: return OVPodcastEpisodesListSection::otherEpisodes;
        default: return std::nullopt;
    }
}

}  // namespace

OVPodcastEpisodesListCell::OVPodcastEpisodesListCell(ConstructorKey key, const Rect& frame)
    : OVPageElementTableViewCell(key, frame), cellHeight_(OVConstants::OVPodcastEpisodesListCell::cellHeight) {}

bool OVPodcastEpisodesListCell::nib(NibBuild& build) {
    auto cell = std::make_shared<OVPodcastEpisodesListCell>(ConstructorKey{}, Rect{0, 0, 375, 44});
    const auto& content = cell->contentView();
    auto table = TableView::create(Rect{0, 0, 375, 0});
    table->setBackgroundColor(Color::clear());
    table->setTranslatesAutoresizingMaskIntoConstraints(false);
    content->addSubview(table);
    build.add(table, false);
    auto& margins = content->layoutMarginsGuide();
    LayoutConstraint::activate({
        table->topAnchor().constraintEqualTo(margins.topAnchor()),
        table->leftAnchor().constraintEqualTo(content->leftAnchor()),
        table->rightAnchor().constraintEqualTo(content->rightAnchor()),
        table->bottomAnchor().constraintEqualTo(margins.bottomAnchor()),
    });
    build.add(cell);
    build.connect([cell, table] { cell->tableView_ = table; });
    return true;
}

void OVPodcastEpisodesListCell::awakeFromNib() {
    OVPageElementTableViewCell::awakeFromNib();
    auto self = std::static_pointer_cast<OVPodcastEpisodesListCell>(OVPageElementTableViewCell::shared_from_this());
    interactor_ = std::make_shared<OVPodcastEpisodesListCellInteractor>(
        std::static_pointer_cast<OVPodcastEpisodesListCellInput>(self));
    initializeUI();
    tableView_->registerNib(std::string(OVEpisodeTableViewCell::ReuseIdentifier),
                            std::string(OVEpisodeTableViewCell::ReuseIdentifier));
}

void OVPodcastEpisodesListCell::initializeUI() {
    setTopMargin(0);
    tableView_->setDataSource(interactor_);
    tableView_->setDelegate(
        std::static_pointer_cast<OVPodcastEpisodesListCell>(OVPageElementTableViewCell::shared_from_this()));
    tableView_->setScrollEnabled(false);
    tableView_->setSeparatorInset(EdgeInsets{0, 0, 0, 0});

    tableviewHeightConstraint_ = tableView_->heightAnchor().constraintEqualToConstant(0);
    tableviewHeightConstraint_->setPriority(tableHeightPriority);
    tableviewHeightConstraint_->setActive(true);

    initializeHeaders();
    initializeLongPress();
}

void OVPodcastEpisodesListCell::initializeHeaders() {
    for (const auto section : {Section::savedEpisodes, Section::otherEpisodes}) {
        if (auto header = NibRegistry::shared().instantiateFirst<OVPodcastEpisodesListHeader>(
                std::string(OVPodcastEpisodesListHeader::NibName))) {
            headers_[section] = std::move(header);
        }
    }
}

void OVPodcastEpisodesListCell::initializeLongPress() {
    auto self = std::static_pointer_cast<OVPodcastEpisodesListCell>(OVPageElementTableViewCell::shared_from_this());
    auto recognizer = LongPressGestureRecognizer::create(self, &OVPodcastEpisodesListCell::handleLongPress);
    recognizer->setMinimumPressDuration(OVConstants::OVPodcastEpisodesListCell::longPressDuration);
    addGestureRecognizer(recognizer);
}

std::shared_ptr<OVPodcastEpisodesListHeader> OVPodcastEpisodesListCell::header(Section section) const {
    const auto found = headers_.find(section);
    return found != headers_.end() ? found->second : nullptr;
}

// ---- From the podcast page ----

void OVPodcastEpisodesListCell::update(const OVTheme& theme, const Color& mainColor) {
    if (interactor_) interactor_->update(theme, mainColor);
}

void OVPodcastEpisodesListCell::update(const OVContent& withPodcast) {
    if (interactor_) interactor_->update(withPodcast);
}

void OVPodcastEpisodesListCell::update(const std::shared_ptr<OVTrack>& withCurrentEpisode, const OVContent& inPodcast) {
    if (interactor_) interactor_->update(tableView_->visibleCells(), withCurrentEpisode, inPodcast);
}

void OVPodcastEpisodesListCell::update(OVAudioPlayerStatus withAudioStatus) {
    if (interactor_) interactor_->update(tableView_->visibleCells(), withAudioStatus);
}

// ---- From the rows ----

void OVPodcastEpisodesListCell::didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) {
    if (const auto page = delegate()) page->didTapForDetails(forTrackInPodcast);
}

void OVPodcastEpisodesListCell::didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    if (interactor_) interactor_->didSave(episode, inPodcast);
}

// ---- From the presenter ----

void OVPodcastEpisodesListCell::update(const OVPodcastEpisodesListCellModel::Style& withViewModel) {
    contentView()->setBackgroundColor(withViewModel.backgroundColor);
    tableView_->setSeparatorColor(withViewModel.separatorColor);
}

void OVPodcastEpisodesListCell::dataSourceDidUpdate() {
    // The rows shown must match the lists before any row moves.
    tableView_->reloadData();
    updateCellHeight();
}

void OVPodcastEpisodesListCell::updateCellHeight() {
    const auto dataSource = tableView_->dataSource();
    if (!tableviewHeightConstraint_) return;
    const int rows = dataSource ? dataSource->numberOfRows(*tableView_, 0) + dataSource->numberOfRows(*tableView_, 1) : 0;
    // Both headers are counted whether or not they show.
    tableviewHeightConstraint_->setConstant(cellHeight_ * rows + headerHeight * 2);
}

std::expected<void, TableViewUpdateError> OVPodcastEpisodesListCell::animateChangeSection(const IndexPath& from,
                                                                                         const IndexPath& to) {
    tableView_->beginUpdates();
    (void)tableView_->moveRow(from, to);
    auto result = tableView_->endUpdates();
    updateHeaders();
    return result;
}

void OVPodcastEpisodesListCell::updateEpisodeCanBeSaved(const IndexPath& forCellAtIndexPath) {
    if (const auto row = std::dynamic_pointer_cast<OVEpisodeTableViewCell>(tableView_->cellForRow(forCellAtIndexPath))) {
        row->updateEpisodeCanBeSaved(true);
    }
}

void OVPodcastEpisodesListCell::updateHeaders() {
    if (!interactor_) return;
    for (const auto& [section, header] : headers_) {
        if (header && header->label()) header->label()->setAttributedText(interactor_->headerTitle(section));
    }
}

// ---- The inner table's delegate ----

double OVPodcastEpisodesListCell::heightForRow(TableView&, const IndexPath&) { return cellHeight_; }

double OVPodcastEpisodesListCell::heightForHeaderInSection(TableView&, int section) {
    const auto known = sectionOf(section);
    if (!known || !interactor_) return 0;
    return interactor_->headerTitle(*known) ? headerHeight : 0;
}

std::shared_ptr<View> OVPodcastEpisodesListCell::viewForHeaderInSection(TableView&, int section) {
    const auto known = sectionOf(section);
    if (!known) return nullptr;
    updateHeaders();
    return header(*known);
}

void OVPodcastEpisodesListCell::didSelectRow(TableView& tableView, const IndexPath& indexPath) {
    tableView.deselectRow(indexPath, true);
    if (interactor_) interactor_->didSelectRow(indexPath);
}

// ---- The long press ----

void OVPodcastEpisodesListCell::handleLongPress(LongPressGestureRecognizer& recognizer) {
    // One press asks once: later movements and the lift-off are ignored.
    if (recognizer.state() != GestureRecognizerState::began) return;
    const auto indexPath = tableView_->indexPathForRow(recognizer.location(tableView_.get()));
    if (indexPath && interactor_) interactor_->didLongPress(*indexPath);
}

}  // namespace orvane
