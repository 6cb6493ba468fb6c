// What the recommendation list's presenter sees of the list cell: the
// page's delegate and coordinator, the style record and the news that the
// rows changed. The list
// cell adopts it (it is also its inner table's delegate); the presenter holds
// it weakly. Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVRecommandationListCellModel.hpp"
#include "orvane/pages/OVMainPageUserAction.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace orvane {

class OVRecommandationListCellInput : public platform::ui::TableViewDelegate {
public:
    virtual std::shared_ptr<OVPageCoordinator> coordinator() const = 0;
    virtual std::shared_ptr<OVMainPageUserAction> delegate() const = 0;
    virtual void update(const OVRecommandationListCellModel::Style& withViewModel) = 0;
    // The list was replaced: the rows are asked for again and the height
    // follows their number.
    virtual void dataSourceDidUpdate() = 0;
};

}  // namespace orvane
