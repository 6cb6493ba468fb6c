#include "orvane/pages/OVPageElement.hpp"

namespace orvane {

const std::vector<std::string>& OVPageElement::reuseIdentifiers() {
    static const std::vector<std::string> identifiers{
        "OVPlayerTableViewCell",     "OVDescriptionTextTableViewCell", "OVShareTableViewCell",
        "OVOpenPodcastTableViewCell", "OVContentIdentityCell",          "OVEpisodePlayCell",
        "OVPodcastSubscriptionCell", "OVPodcastEpisodesListCell",      "OVLibraryPodcastsListCell",
        "OVRecommandationListCell",  "OVRecommendationHeadlinesCell",  "OVDiscoverRecommendationsCell",
    };
    return identifiers;
}

}  // namespace orvane
