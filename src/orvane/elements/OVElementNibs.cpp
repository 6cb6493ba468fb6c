#include "orvane/elements/OVElementNibs.hpp"

#include <array>
#include <string>
#include <string_view>

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationEpisodeCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/elements/OVEpisodeTableViewCell.hpp"
#include "orvane/elements/OVLibraryPodcastCell.hpp"
#include "orvane/elements/OVLibraryPodcastsListCell.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListHeader.hpp"
#include "orvane/elements/OVPodcastSubscriptionCell.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesPodcastCell.hpp"
#include "orvane/elements/OVShareTableViewCell.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"

namespace orvane {
namespace {

struct Nib {
    std::string_view name;
    bool (*build)(platform::ui::NibBuild&);
};

template <class Cell>
constexpr Nib nibOf() {
    return Nib{Cell::ReuseIdentifier, &Cell::nib};
}

constexpr std::array nibs{
    nibOf<OVPlayerTableViewCell>(),          nibOf<OVDescriptionTextTableViewCell>(),
    nibOf<OVShareTableViewCell>(),           nibOf<OVOpenPodcastTableViewCell>(),
    nibOf<OVContentIdentityCell>(),          nibOf<OVEpisodePlayCell>(),
    nibOf<OVPodcastSubscriptionCell>(),      nibOf<OVPodcastEpisodesListCell>(),
    nibOf<OVLibraryPodcastsListCell>(),      nibOf<OVRecommandationListCell>(),
    nibOf<OVRecommendationHeadlinesCell>(),  nibOf<OVDiscoverRecommendationsCell>(),
    // The rows and items of the list elements.
    nibOf<OVEpisodeTableViewCell>(),         nibOf<OVLibraryPodcastCell>(),
    nibOf<OVDiscoverRecommendationEpisodeCell>(), nibOf<OVRecommendationHeadlinesPodcastCell>(),
    // The episodes list's section headers.
    Nib{OVPodcastEpisodesListHeader::NibName, &OVPodcastEpisodesListHeader::nib},
};

}  // namespace

void OVElementNibs::registerAll() {
    auto& registry = platform::ui::NibRegistry::shared();
    for (const auto& nib : nibs) registry.registerNib(std::string(nib.name), nib.build);
}

}  // namespace orvane
