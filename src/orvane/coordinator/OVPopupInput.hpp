// What the popup offers its interactor: one apply per record of
// `OVPopupModel`. Main thread only; the interactor holds it weakly.
#pragma once

#include "orvane/coordinator/OVPopupModel.hpp"

namespace orvane {

class OVPopupInput {
public:
    virtual ~OVPopupInput() = default;
    virtual void update(const OVPopupModel::Style& viewModel) = 0;
    virtual void update(const OVPopupModel::Text& viewModel) = 0;
};

}  // namespace orvane
