// The main page as its presenter sees it: a page that pushes further pages
// onto its screen and reaches the root container, nothing more. The main
// page adopts it; the presenter holds it weakly. Main thread only.
#pragma once

#include "orvane/pages/OVPageProtocol.hpp"

namespace orvane {

class OVmainPageInput : public OVPageProtocol {};

}  // namespace orvane
