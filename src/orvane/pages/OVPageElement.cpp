#include "orvane/pages/OVPageElement.hpp"

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/elements/OVLibraryPodcastsListCell.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/elements/OVPodcastSubscriptionCell.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/elements/OVShareTableViewCell.hpp"

namespace orvane {

const std::vector<std::string>& OVPageElement::reuseIdentifiers() {
    static const std::vector<std::string> identifiers{
        std::string(OVPlayerTableViewCell::ReuseIdentifier),
        std::string(OVDescriptionTextTableViewCell::ReuseIdentifier),
        std::string(OVShareTableViewCell::ReuseIdentifier),
        std::string(OVOpenPodcastTableViewCell::ReuseIdentifier),
        std::string(OVContentIdentityCell::ReuseIdentifier),
        std::string(OVEpisodePlayCell::ReuseIdentifier),
        std::string(OVPodcastSubscriptionCell::ReuseIdentifier),
        std::string(OVPodcastEpisodesListCell::ReuseIdentifier),
        std::string(OVLibraryPodcastsListCell::ReuseIdentifier),
        std::string(OVRecommandationListCell::ReuseIdentifier),
        std::string(OVRecommendationHeadlinesCell::ReuseIdentifier),
        std::string(OVDiscoverRecommendationsCell::ReuseIdentifier),
    };
    return identifiers;
}

}  // namespace orvane
