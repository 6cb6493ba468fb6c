#include "orvane/pages/OVEpisodePage.hpp"

namespace orvane {

OVEpisodePage::OVEpisodePage(ConstructorKey key) : OVPage(key) {}
OVEpisodePage::~OVEpisodePage() = default;

void OVEpisodePage::initialize(const std::shared_ptr<OVPageCoordinator>& /*coordinator*/) {}
void OVEpisodePage::updateWithCurrentState() {}
void OVEpisodePage::update(const OVTrackInPodcast& /*withDisplayedEpisodeInPodcast*/) {}

}  // namespace orvane
