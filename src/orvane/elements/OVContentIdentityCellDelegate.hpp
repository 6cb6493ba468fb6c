// The identity header's subtitle tap: the episode page opens the podcast
// page of the episode it shows. Held weakly by the cell; main thread only.
#pragma once

namespace orvane {

class OVContentIdentityCellDelegate {
public:
    virtual ~OVContentIdentityCellDelegate() = default;
    virtual void didTapSubtitle() = 0;
};

}  // namespace orvane
