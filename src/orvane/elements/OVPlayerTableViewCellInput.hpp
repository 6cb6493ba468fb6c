// What the player element's presenter hands back to its cell: one overload
// per view model, and the cell's delegate, through which the presenter asks
// for seeks. Adopted by `OVPlayerTableViewCell`; main thread.
#pragma once

#include <memory>

#include "orvane/elements/OVPlayerTableViewCellModel.hpp"
#include "orvane/playback/OVPlayerUserActionDelegate.hpp"

namespace orvane {

class OVPlayerTableViewCellInput {
public:
    virtual ~OVPlayerTableViewCellInput() = default;
    virtual void update(const OVPlayerTableViewCellModel::Style& withViewModel) = 0;
    virtual void update(const OVPlayerTableViewCellModel::Media& withViewModel) = 0;
    virtual void update(const OVPlayerTableViewCellModel::AudioPosition& withViewModel) = 0;
    virtual void update(const OVPlayerTableViewCellModel::PositionCanBeChanged& withViewModel) = 0;
    virtual std::shared_ptr<OVPlayerUserActionDelegate> delegate() const = 0;
};

}  // namespace orvane
