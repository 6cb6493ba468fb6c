// What the footer player offers its interactor: one apply per record of
// `OVFooterPlayerModel`. Main thread only; the interactor holds it weakly.
#pragma once

#include "orvane/coordinator/OVFooterPlayerModel.hpp"

namespace orvane {

class OVFooterPlayerInput {
public:
    virtual ~OVFooterPlayerInput() = default;
    virtual void update(const OVFooterPlayerModel::Style& viewModel) = 0;
    virtual void update(const OVFooterPlayerModel::Media& viewModel) = 0;
    virtual void update(const OVFooterPlayerModel::AudioStatus& viewModel) = 0;
    virtual void update(const OVFooterPlayerModel::AudioPosition& viewModel) = 0;
};

}  // namespace orvane
