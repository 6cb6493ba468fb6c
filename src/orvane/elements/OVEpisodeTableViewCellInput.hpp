// What an episode row's presenter sees of the row: one `update` per record
// and the row's delegate, read at the moment a tap is reported. The row
// adopts it; the presenter holds it weakly. Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVEpisodeTableViewCellDelegate.hpp"
#include "orvane/elements/OVEpisodeTableViewCellModel.hpp"

namespace orvane {

class OVEpisodeTableViewCellInput {
public:
    virtual ~OVEpisodeTableViewCellInput() = default;
    virtual void update(const OVEpisodeTableViewCellModel::Style& withViewModel) = 0;
    virtual void update(const OVEpisodeTableViewCellModel::Data& withViewModel) = 0;
    virtual void update(const OVEpisodeTableViewCellModel::CurrentTrack& withViewModel) = 0;
    virtual void update(const OVEpisodeTableViewCellModel::AudioStatus& withViewModel) = 0;
    virtual void update(const OVEpisodeTableViewCellModel::AuxiliaryView& withViewModel) = 0;
    virtual void update(const OVEpisodeTableViewCellModel::Save& withViewModel) = 0;
    virtual std::shared_ptr<OVEpisodeTableViewCellDelegate> delegate() const = 0;
};

}  // namespace orvane
