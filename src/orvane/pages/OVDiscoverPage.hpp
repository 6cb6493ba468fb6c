// The discover page: recommendations of podcasts and episodes to listen to.
// Made only by `OVPage::create<OVDiscoverPage>`. Main thread only.
#pragma once

#include <memory>

#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"

namespace orvane {

class OVDiscoverPage : public OVPage {
public:
    explicit OVDiscoverPage(ConstructorKey key);
    ~OVDiscoverPage() override;
    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);
};

}  // namespace orvane
