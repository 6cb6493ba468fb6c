// The presenter of the library page's list and the data source of its inner
// table: keeps the theme and main colour, the library store last given and
// the podcasts of its entries, the most recently touched first (each
// entry's podcast is the library's key for it); dresses a library row for
// each podcast (blank rows until it has the theme and a store), and reports
// the selected podcast to the page.
//
// Made by the list cell when it wakes from its nib; the cell owns it and it
// refers to the cell weakly (no cycle). It keeps a copy of the store, so
// rows never read a store that is gone. Every row index is checked against
// the current list. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/elements/OVLibraryPodcastsListCellInput.hpp"
#include "orvane/elements/OVLibraryPodcastsListCellInteractorInput.hpp"

namespace orvane {

class OVLibraryPodcastsListCellInteractor final : public OVLibraryPodcastsListCellInteractorInput {
public:
    explicit OVLibraryPodcastsListCellInteractor(std::weak_ptr<OVLibraryPodcastsListCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const OVMock::UserData& withUserData) override;
    void didSelectRow(const platform::ui::IndexPath& atIndexPath) override;

    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

    // The rows, in display order.
    const std::vector<OVContent>& podcasts() const { return podcasts_; }

private:
    const OVContent* podcast(int row) const;

    std::weak_ptr<OVLibraryPodcastsListCellInput> view_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
    // A copy of the store as last given: rows read it while they are handed out.
    std::optional<OVMock::UserData> userData_;
    std::vector<OVContent> podcasts_;
};

}  // namespace orvane
