// What the library list's presenter sees of the list cell: the style
// record, the news that the rows changed, and the page's delegate it hands
// to the rows. The list cell adopts it; the presenter holds it weakly.
// Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVLibraryPodcastsListCellModel.hpp"
#include "orvane/pages/OVLibraryPageUserAction.hpp"

namespace orvane {

class OVLibraryPodcastsListCellInput {
public:
    virtual ~OVLibraryPodcastsListCellInput() = default;
    virtual void update(const OVLibraryPodcastsListCellModel::Style& withViewModel) = 0;
    // The rows were replaced: the inner table reloads and the height follows.
    virtual void dataSourceDidUpdate() = 0;
    virtual std::shared_ptr<OVLibraryPageUserAction> delegate() const = 0;
};

}  // namespace orvane
