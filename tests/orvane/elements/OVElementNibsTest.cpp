// The element cells' nibs: every reuse identifier a page registers resolves
// through the nib registry to a cell of its own class, so each element gets
// its cell and each page row its element's class; the player element makes
// the coordinator its cell's delegate.
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <typeindex>
#include <vector>

#include "orvane/elements/OVContentIdentityCell.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCell.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCell.hpp"
#include "orvane/elements/OVElementNibs.hpp"
#include "orvane/elements/OVEpisodePlayCell.hpp"
#include "orvane/elements/OVLibraryPodcastsListCell.hpp"
#include "orvane/elements/OVOpenPodcastTableViewCell.hpp"
#include "orvane/elements/OVPlayerTableViewCell.hpp"
#include "orvane/elements/OVPodcastEpisodesListCell.hpp"
#include "orvane/elements/OVPodcastSubscriptionCell.hpp"
#include "orvane/elements/OVRecommandationListCell.hpp"
#include "orvane/elements/OVRecommendationHeadlinesCell.hpp"
#include "orvane/elements/OVShareTableViewCell.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "support/RecordingCoordinator.hpp"
#include "support/RecordingPage.hpp"

namespace {

using namespace orvane;
using platform::ui::IndexPath;
using platform::ui::NibRegistry;
using platform::ui::TableView;

// One element kind: its cell's class, and the kind made for a page.
struct Kind {
    std::type_index cellClass;
    std::function<std::shared_ptr<OVPageElementProtocol>(const std::shared_ptr<OVPage>&)> make;
};

template <class Element>
std::pair<std::string, Kind> kind() {
    using Cell = std::remove_cvref_t<decltype(*std::declval<Element>().tableViewCell())>;
    return {std::string(Cell::ReuseIdentifier),
            Kind{typeid(Cell), [](const std::shared_ptr<OVPage>& page) {
                     return std::static_pointer_cast<OVPageElementProtocol>(
                         OVPageElement::create<Element>(nullptr, page));
                 }}};
}

const std::vector<std::pair<std::string, Kind>>& kinds() {
    static const std::vector<std::pair<std::string, Kind>> list{
        kind<OVPageElement::Player>(),
        kind<OVPageElement::Description>(),
        kind<OVPageElement::Buttons>(),
        kind<OVPageElement::OpenPodcast>(),
        kind<OVPageElement::ContentIdentity>(),
        kind<OVPageElement::EpisodePlay>(),
        kind<OVPageElement::PodcastSubscription>(),
        kind<OVPageElement::EpisodesList>(),
        kind<OVPageElement::LibraryPodcastsList>(),
        kind<OVPageElement::RecommandationList>(),
        kind<OVPageElement::DiscoverRecommendationHeadlines>(),
        kind<OVPageElement::DiscoverRecommendations>(),
    };
    return list;
}

TEST(OVElementNibs, EveryReuseIdentifierResolvesToACellOfItsClass) {
    platform::core::RunLoop::main().useManualClock();
    // Whatever another test registered under these names is replaced.
    OVElementNibs::registerAll();

    // The identifiers are the cell classes' own, in the page's order.
    const auto& identifiers = OVPageElement::reuseIdentifiers();
    ASSERT_EQ(identifiers.size(), kinds().size());
    for (std::size_t i = 0; i < identifiers.size(); ++i) EXPECT_EQ(identifiers[i], kinds()[i].first) << i;

    auto page = OVPage::create<testsupport::RecordingPage>();
    auto table = TableView::create({0, 0, 375, 600});
    for (const auto& [identifier, kind] : kinds()) {
        SCOPED_TRACE(identifier);
        // The registry's nib...
        auto cell = NibRegistry::shared().instantiateFirst<OVPageElementTableViewCell>(identifier);
        ASSERT_NE(cell, nullptr);
        EXPECT_EQ(std::type_index(typeid(*cell)), kind.cellClass);
        // ...as a page's table dequeues it...
        table->registerNib(identifier, identifier);
        auto dequeued = table->dequeueReusableCell(identifier, IndexPath{0, 0});
        ASSERT_NE(dequeued, nullptr);
        EXPECT_EQ(std::type_index(typeid(*dequeued)), kind.cellClass);
        EXPECT_EQ(dequeued->reuseIdentifier(), identifier);
        // ...and as the element loads it: its own cell, bound to it.
        auto element = kind.make(page);
        ASSERT_NE(element->elementTableViewCell(), nullptr);
        EXPECT_EQ(std::type_index(typeid(*element->elementTableViewCell())), kind.cellClass);
        EXPECT_EQ(element->elementTableViewCell()->element(), element);
        EXPECT_EQ(element->page(), page);
        EXPECT_NE(element->elementTableViewCell(), cell) << "each element has a cell of its own";
    }
}

TEST(OVElementNibs, ThePlayerElementMakesTheCoordinatorItsCellsDelegate) {
    platform::core::RunLoop::main().useManualClock();
    OVElementNibs::registerAll();
    auto coordinator = testsupport::RecordingCoordinator::create();
    auto player = OVPageElement::create<OVPageElement::Player>(coordinator, nullptr);
    ASSERT_NE(player->tableViewCell(), nullptr);
    EXPECT_EQ(player->tableViewCell()->delegate(), coordinator);

    // Held weakly: a coordinator gone is no delegate, and one gone before the
    // element is made leaves none.
    coordinator.reset();
    EXPECT_EQ(player->tableViewCell()->delegate(), nullptr);
    auto orphan = OVPageElement::create<OVPageElement::Player>(testsupport::RecordingCoordinator::create(), nullptr);
    EXPECT_EQ(orphan->tableViewCell()->delegate(), nullptr);
}

}  // namespace
