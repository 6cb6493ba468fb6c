// What the description cell offers its interactor: the view models to apply.
// Held weakly by the interactor; main thread only.
#pragma once

#include "orvane/elements/OVDescriptionCellModel.hpp"

namespace orvane {

class OVDescriptionCellInput {
public:
    virtual ~OVDescriptionCellInput() = default;
    virtual void update(const OVDescriptionCellModel::Style& withViewModel) = 0;
    virtual void update(const OVDescriptionCellModel::Data& withViewModel) = 0;
    virtual void update(const OVDescriptionCellModel::TextIsDeveloped& withViewModel) = 0;
};

}  // namespace orvane
