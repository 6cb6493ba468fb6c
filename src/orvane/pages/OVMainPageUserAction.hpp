// What the main page's recommendation list reports to the page: a row's
// details and save buttons (the episode row's delegate) and the choice of a
// recommended episode. The main page adopts it and hands each call to its
// presenter. Held weakly by the list cell; main thread only.
#pragma once

#include "orvane/elements/OVEpisodeTableViewCellDelegate.hpp"
#include "orvane/pages/OVEpisodeSelectionDelegate.hpp"

namespace orvane {

class OVMainPageUserAction : public virtual OVEpisodeTableViewCellDelegate,
                             public virtual OVEpisodeSelectionDelegate {};

}  // namespace orvane
