// The discover page as its presenter sees it: a page that pushes further
// pages onto its screen and reaches the root container. Main thread only.
#pragma once

#include "orvane/pages/OVPageProtocol.hpp"

namespace orvane {

class OVDiscoverPageInput : public OVPageProtocol {};

}  // namespace orvane
