// What the content identity cell offers its interactor: the view models to
// apply. Held weakly by the interactor; main thread only.
#pragma once

#include "orvane/elements/OVContentIdentityCellModel.hpp"

namespace orvane {

class OVContentIdentityCellInput {
public:
    virtual ~OVContentIdentityCellInput() = default;
    virtual void update(const OVContentIdentityCellModel::Style& withViewModel) = 0;
    virtual void update(const OVContentIdentityCellModel::ContentData& withViewModel) = 0;
};

}  // namespace orvane
