// The library page's list of the listener's podcasts: an inner table of
// library rows (110 points each) that never scrolls and is as tall as its
// rows, so the page's own table scrolls the whole list. Each new state of
// the library reloads the rows and resizes the table. Selecting a row tells
// the page (`delegate`) which podcast was chosen; the rows' notification
// switches reach the page directly.
//
// Made only by its nib (`nib`, registered under `ReuseIdentifier` with the
// other element nibs), once per element. Owns its presenter (the inner
// table's data source), which refers to it weakly; the cell is the inner
// table's delegate. Main thread only; owned by its element.
#pragma once

#include <memory>
#include <string_view>

#include "orvane/elements/OVLibraryPodcastsListCellInput.hpp"
#include "orvane/elements/OVLibraryPodcastsListCellInteractorInput.hpp"
#include "orvane/pages/OVLibraryPageUserAction.hpp"
#include "orvane/pages/OVPageElementTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVLibraryPodcastsListCell : public OVPageElementTableViewCell,
                                  public OVLibraryPodcastsListCellInput,
                                  public platform::ui::TableViewDelegate {
public:
    // The cell's reuse identifier and the name of its nib.
    static constexpr std::string_view ReuseIdentifier = "OVLibraryPodcastsListCell";
    // The nib's builder.
    static bool nib(platform::ui::NibBuild& build);

    OVLibraryPodcastsListCell(ConstructorKey key, const platform::graphics::Rect& frame);

    std::shared_ptr<OVLibraryPageUserAction> delegate() const override { return delegate_.lock(); }
    void setDelegate(std::weak_ptr<OVLibraryPageUserAction> delegate) { delegate_ = std::move(delegate); }

    // ---- From the library page ----
    void update(const OVTheme& theme, const platform::graphics::Color& mainColor) override;
    void update(const OVMock::UserData& withUserData);

    // ---- From the presenter ----
    void update(const OVLibraryPodcastsListCellModel::Style& withViewModel) override;
    void dataSourceDidUpdate() override;

    // ---- The inner table's delegate ----
    double heightForRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;
    void didSelectRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;

    // ---- Views, for the page and its tests ----
    const std::shared_ptr<platform::ui::TableView>& tableView() const { return tableView_; }
    // The inner table's height: 110 points per row.
    const platform::ui::LayoutConstraintPtr& tableviewHeightConstraint() const { return tableviewHeightConstraint_; }

    void awakeFromNib() override;

private:
    void initializeUI();
    void updateCellHeight();

    std::shared_ptr<platform::ui::TableView> tableView_;
    std::shared_ptr<OVLibraryPodcastsListCellInteractorInput> interactor_;
    std::weak_ptr<OVLibraryPageUserAction> delegate_;
    platform::ui::LayoutConstraintPtr tableviewHeightConstraint_;
    double cellHeight_;
};

}  // namespace orvane
