// The episode page's state observer: the page's theme, current episode and
// player status follow the widget state (see `OVPageStateObserver`). Made
// and registered with the bridge by the page, which it holds weakly.
// Main thread only.
#pragma once

#include "orvane/pages/OVPageStateObserver.hpp"

namespace orvane {

class OVEpisodePage;

class OVEpisodePageStateManager final : public OVPageStateObserver<OVEpisodePage> {
public:
    using OVPageStateObserver::OVPageStateObserver;
};

}  // namespace orvane
