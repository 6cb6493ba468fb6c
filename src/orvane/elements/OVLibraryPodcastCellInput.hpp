// What the library row's presenter sees of the row: one `update` per record
// and the row's delegate (the library page), read when a switch is reported.
// The row adopts it; the presenter holds it weakly. Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVLibraryPodcastCellModel.hpp"
#include "orvane/pages/OVLibraryPageUserAction.hpp"

namespace orvane {

class OVLibraryPodcastCellInput {
public:
    virtual ~OVLibraryPodcastCellInput() = default;
    virtual void update(const OVLibraryPodcastCellModel::Style& withViewModel) = 0;
    virtual void update(const OVLibraryPodcastCellModel::Data& withViewModel) = 0;
    virtual std::shared_ptr<OVLibraryPageUserAction> delegate() const = 0;
};

}  // namespace orvane
