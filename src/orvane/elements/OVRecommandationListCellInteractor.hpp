// The presenter of the main page's recommendation list and the data source
// of its inner table: keeps the theme and main colour and the recommended
// episodes in the page's order, dresses an episode row for each
// recommendation (blank rows until it knows the theme), and reports the
// selected episode to the page.
//
// Made by the list cell when it wakes from its nib; the cell owns it and it
// refers to the cell weakly (no cycle). Every row index is checked against
// the current list. Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "orvane/elements/OVRecommandationListCellInput.hpp"
#include "orvane/elements/OVRecommandationListCellInteractorInput.hpp"

namespace orvane {

class OVRecommandationListCellInteractor final : public OVRecommandationListCellInteractorInput {
public:
    explicit OVRecommandationListCellInteractor(std::weak_ptr<OVRecommandationListCellInput> view)
        : view_(std::move(view)) {}

    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(std::vector<OVTrackInPodcast> withRecommendations) override;
    void didSelectRow(const platform::ui::IndexPath& atIndexPath) override;

    int numberOfRows(platform::ui::TableView& tableView, int section) override;
    std::shared_ptr<platform::ui::TableViewCell> cellForRow(platform::ui::TableView& tableView,
                                                            const platform::ui::IndexPath& indexPath) override;

    const std::vector<OVTrackInPodcast>& recommendations() const { return recommendations_; }

private:
    const OVTrackInPodcast* recommendation(int row) const;

    std::weak_ptr<OVRecommandationListCellInput> view_;
    std::optional<OVTheme> theme_;
    std::optional<platform::graphics::Color> mainColor_;
    std::vector<OVTrackInPodcast> recommendations_;
};

}  // namespace orvane
