// What the podcast episodes list's presenter sees of the list cell: the
// page's delegate and the coordinator, the style record, the news that the
// lists were rebuilt, a row's move between the sections, and a row that may
// be saved again. The list cell adopts it (it is also its inner table's
// delegate and the rows' delegate); the presenter holds it weakly. Main
// thread only.
#pragma once

#include <expected>
#include <memory>

#include "orvane/elements/OVEpisodeTableViewCellDelegate.hpp"
#include "orvane/elements/OVPodcastEpisodesListCellModel.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPodcastPageUserAction.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVPodcastEpisodesListCellInput : public virtual OVEpisodeTableViewCellDelegate,
                                       public platform::ui::TableViewDelegate {
public:
    virtual std::shared_ptr<OVPageCoordinator> coordinator() const = 0;
    virtual std::shared_ptr<OVPodcastPageUserAction> delegate() const = 0;
    virtual void update(const OVPodcastEpisodesListCellModel::Style& withViewModel) = 0;
    // The lists were rebuilt: the rows are asked for again and the height
    // follows their number.
    virtual void dataSourceDidUpdate() = 0;
    // Moves one row in a batch update of the inner table (the lists already
    // hold the new state); the table's error when its row counts disagree.
    virtual std::expected<void, platform::ui::TableViewUpdateError> animateChangeSection(
        const platform::ui::IndexPath& from, const platform::ui::IndexPath& to) = 0;
    // The row shown there, if any, shows its save button again.
    virtual void updateEpisodeCanBeSaved(const platform::ui::IndexPath& forCellAtIndexPath) = 0;
};

}  // namespace orvane
