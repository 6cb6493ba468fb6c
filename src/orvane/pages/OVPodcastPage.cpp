#include "orvane/pages/OVPodcastPage.hpp"

namespace orvane {

OVPodcastPage::OVPodcastPage(ConstructorKey key) : OVPage(key) {}
OVPodcastPage::~OVPodcastPage() = default;

void OVPodcastPage::initialize(const std::shared_ptr<OVPageCoordinator>& /*coordinator*/) {}
void OVPodcastPage::updateWithCurrentState() {}
void OVPodcastPage::update(const OVContent& /*forPodcast*/) {}

}  // namespace orvane
