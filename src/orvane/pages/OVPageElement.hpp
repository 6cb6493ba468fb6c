// The twelve kinds of page element, each bound to the cell class of its
// row (src/orvane/elements), and the reuse identifiers of those cells in the
// order the page base registers them. The cell classes are declared here and
// defined in their own headers; a kind is made through
// `OVPageElement::create<Kind>`, with its cell's header included. Only the
// player kind adds to the generic element: its `setDelegates` makes the
// coordinator its cell's delegate.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "orvane/pages/OVGenericPageElement.hpp"

namespace orvane {

class OVPlayerTableViewCell;
class OVDescriptionTextTableViewCell;
class OVShareTableViewCell;
class OVOpenPodcastTableViewCell;
class OVContentIdentityCell;
class OVEpisodePlayCell;
class OVPodcastSubscriptionCell;
class OVPodcastEpisodesListCell;
class OVLibraryPodcastsListCell;
class OVRecommandationListCell;
class OVRecommendationHeadlinesCell;
class OVDiscoverRecommendationsCell;

struct OVPageElement {
    class Player : public OVGenericPageElement<OVPlayerTableViewCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
        // Defined with the player cell.
        void setDelegates() override;
    };
    class Description : public OVGenericPageElement<OVDescriptionTextTableViewCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class Buttons : public OVGenericPageElement<OVShareTableViewCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class OpenPodcast : public OVGenericPageElement<OVOpenPodcastTableViewCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class ContentIdentity : public OVGenericPageElement<OVContentIdentityCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class EpisodePlay : public OVGenericPageElement<OVEpisodePlayCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class PodcastSubscription : public OVGenericPageElement<OVPodcastSubscriptionCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class EpisodesList : public OVGenericPageElement<OVPodcastEpisodesListCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class LibraryPodcastsList : public OVGenericPageElement<OVLibraryPodcastsListCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class RecommandationList : public OVGenericPageElement<OVRecommandationListCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class DiscoverRecommendationHeadlines : public OVGenericPageElement<OVRecommendationHeadlinesCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };
    class DiscoverRecommendations : public OVGenericPageElement<OVDiscoverRecommendationsCell> {
    public:
        using OVGenericPageElement::OVGenericPageElement;
    };

    // An element of the kind, with its cell loaded and bound.
    template <class Kind>
    static std::shared_ptr<Kind> create(const std::shared_ptr<OVPageCoordinator>& coordinator,
                                        const std::shared_ptr<OVPage>& page) {
        return Kind::template create<Kind>(coordinator, page);
    }

    // The twelve cells' reuse identifiers (also their nibs' names), player
    // first, built once from the cell classes' own constants.
    static const std::vector<std::string>& reuseIdentifiers();
};

}  // namespace orvane
