// A page as the presenters that open further pages see it: it pushes a page
// onto its own screen and reaches the root container. `OVPage` adopts it.
// Main thread only.
#pragma once

#include <memory>

#include "orvane/pages/OVFanViewControllerProtocol.hpp"

namespace orvane {

class OVPage;

class OVPageProtocol {
public:
    virtual ~OVPageProtocol() = default;
    virtual void push(const std::shared_ptr<OVPage>& page, bool animated) = 0;
    virtual std::shared_ptr<OVFanViewControllerProtocol> fanViewController() const = 0;
};

}  // namespace orvane
