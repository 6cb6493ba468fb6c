// The podcast page: one podcast inside the root container, as an identity
// header, the subscription buttons, the podcast's description and its
// episode list. Made only by `OVPage::create<OVPodcastPage>(coordinator)` by
// the presenters that open it, which then give it its podcast and push it
// onto their screen. Main thread only.
#pragma once

#include <memory>

#include "orvane/model/OVContent.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"

namespace orvane {

class OVPodcastPage : public OVPage {
public:
    explicit OVPodcastPage(ConstructorKey key);
    ~OVPodcastPage() override;

    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);

    // Applies the bridge's last widget state to the page.
    void updateWithCurrentState();
    // The podcast the page shows; given once, before the page is pushed.
    void update(const OVContent& forPodcast);
    using OVPage::update;
};

}  // namespace orvane
