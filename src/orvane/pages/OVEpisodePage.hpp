// The episode page: one episode of one podcast inside the root container, as
// an identity header, a play button and the episode's description in full.
// Made only by `OVPage::create<OVEpisodePage>(coordinator)` by the presenters
// that open it, which then give it its episode and push it onto their
// screen. Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"

namespace orvane {

class OVEpisodePage : public OVPage {
public:
    explicit OVEpisodePage(ConstructorKey key);
    ~OVEpisodePage() override;

    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);

    // Applies the bridge's last widget state to the page.
    void updateWithCurrentState();
    // The episode the page shows, with its podcast; given once, before the
    // page is pushed.
    void update(const OVTrackInPodcast& withDisplayedEpisodeInPodcast);
    using OVPage::update;
};

}  // namespace orvane
