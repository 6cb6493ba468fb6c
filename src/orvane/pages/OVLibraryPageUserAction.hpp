// What the library list and its podcast rows report to the library page:
// the choice of a podcast, and a row's notification switch. The library page
// adopts it. Held weakly by the list cell and its rows; main thread only.
#pragma once

#include "orvane/model/OVContent.hpp"

namespace orvane {

class OVLibraryPageUserAction {
public:
    virtual ~OVLibraryPageUserAction() = default;
    virtual void didSelectPodcast(const OVContent& podcast) = 0;
    virtual void didToggleNotification(const OVContent& forPodcast, bool isActive) = 0;
};

}  // namespace orvane
