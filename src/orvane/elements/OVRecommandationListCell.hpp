// The main page's list of recommended episodes: a header and an inner table
// of episode rows that never scrolls and is as tall as its rows (145 points
// each), so the page's own table scrolls the whole list. Each new list
// reloads the rows and resizes the table. Selecting a row tells the page
// (`delegate`) which episode was chosen; the rows' details and save buttons
// reach the page directly. The rows show neither the current episode, nor
// the player's status, nor downloads: the list is given none of them.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Owns its presenter (the inner
// table's data source), which refers to it weakly; the cell is the inner
// table's delegate. Main thread only; owned by its element.
#pragma once

#include <memory>
#include <string_view>
#include <vector>

#include "orvane/elements/OVRecommandationListCellInput.hpp"
#include "orvane/elements/OVRecommandationListCellInteractorInput.hpp"
#include "orvane/pages/OVMainPageUserAction.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "orvane/pages/OVUserTrackDownloadAction.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/text/Label.hpp"

namespace orvane {

class OVRecommandationListCell : public OVPageElementTableViewCell,
                                 public OVRecommandationListCellInput,
                                 public OVUserTrackDownloadAction {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVRecommandationListCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVRecommandationListCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVMainPageUserAction> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVMainPageUserAction> delegate) { delegate_ = std::move(delegate); }
    std::shared_ptr<OVPageCoordinator> coordinator() const override { return coordinator_.lock(); }
    void setCoordinator(std::weak_ptr<OVPageCoordinator> coordinator) { coordinator_ = std::move(coordinator); }

    // ---- From the main page ----
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    void update(std::vector<OVTrackInPodcast> withRecommendations);
    // Downloads are the coordinator's; the list does nothing.
    void didTapDownload(const std::shared_ptr<OVTrack>& /*forTrack*/) override {}

    // ---- From the presenter ----
    void update(const OVRecommandationListCellModel::Style& withViewModel) override;
    void dataSourceDidUpdate() override;

    // ---- The inner table's delegate ----
    double heightForRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;
    void didSelectRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;

    // ---- Views, for the page and its tests ----
    const std::shared_ptr<platform::ui::Label>& headerLabel() const { return headerLabel_; }
    const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }
    // The inner table's height constraint (145 per row, less one point;
    // 0 for no row).
    const platform::ui::LayoutConstraintPtr& tableviewHeightConstraint() const { return tableviewHeightConstraint_; }

    void awakeFromNib() override;

private:
    void initializeUI();
    void updateCellHeight();

    std::shared_ptr<platform::ui::Label> headerLabel_;
    std::shared_ptr<platform::ui::TableView> tableView_;
    std::weak_ptr<OVPageCoordinator> coordinator_;
    std::weak_ptr<OVMainPageUserAction> delegate_;
    std::shared_ptr<OVRecommandationListCellInteractorInput> interactor_;
    platform::ui::LayoutConstraintPtr tableviewHeightConstraint_;
    double cellHeight_;
};

}  // namespace orvane
