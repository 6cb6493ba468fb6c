// The root container as its interactor sees it: the one place a popup is
// shown, once the interactor has built, styled and filled it. Held weakly
// by the interactor. Main thread only.
#pragma once

#include <memory>

namespace orvane {

class OVPopup;

class OVFanVCInput {
public:
    virtual ~OVFanVCInput() = default;
    virtual void present(const std::shared_ptr<OVPopup>& popup) = 0;
};

}  // namespace orvane
