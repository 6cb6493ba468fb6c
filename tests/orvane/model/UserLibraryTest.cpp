#include "orvane/model/OVMockData.hpp"
#include "orvane/model/OVMockUserData.hpp"
#include "platform/core/RunLoop.hpp"

#include <gtest/gtest.h>

#include <algorithm>

using namespace orvane;
using Library = OVMock::UserData;

namespace {

OVContent podcast(const std::string& key, const std::string& title = "Titre") {
    OVContent content;
    content.identifier = key;
    content.title = title;
    return content;
}

std::shared_ptr<OVTrack> episode(const std::string& key) {
    return OVTrack::create(key, "Episode " + key, std::nullopt, OVAudio{}, OVObjDescription{}, std::nullopt);
}

std::vector<std::string> newestFirst(const Library& library) {
    std::vector<Library::PodcastDataStructure> entries;
    for (const auto& [content, entry] : library.library()) entries.push_back(entry);
    std::sort(entries.begin(), entries.end());
    std::vector<std::string> keys;
    for (auto it = entries.rbegin(); it != entries.rend(); ++it) keys.push_back(it->podcastKey);
    return keys;
}

}  // namespace

TEST(UserLibrary, SubscriptionsAndNotifications) {
    auto clock = platform::core::RunLoop::main().useManualClock();
    Library& library = Library::shared();
    const OVContent river = podcast("river");

    library.addSuscription(river, OVSubscription::notification);  // no entry: nothing
    EXPECT_TRUE(library.library().empty());
    EXPECT_FALSE(library.userHasSuscribded(river, OVSubscription::notification));

    library.addSuscription(river, OVSubscription::podcast);
    EXPECT_TRUE(library.userHasSuscribded(river, OVSubscription::podcast));
    EXPECT_TRUE(library.userHasSuscribded(river, OVSubscription::notification));

    library.removeSuscription(river, OVSubscription::notification);
    EXPECT_TRUE(library.userHasSuscribded(river, OVSubscription::podcast));
    EXPECT_FALSE(library.userHasSuscribded(river, OVSubscription::notification));
    EXPECT_EQ(library.library().size(), 1u);

    const auto before = library.library().at(river).lastAction;
    clock->advance(5);
    library.addSuscription(river, OVSubscription::notification);
    EXPECT_TRUE(library.userHasSuscribded(river, OVSubscription::notification));
    EXPECT_GT(library.library().at(river).lastAction, before);

    // Removing the podcast subscription of an entry without saved episodes removes it.
    library.removeSuscription(river, OVSubscription::podcast);
    EXPECT_TRUE(library.library().empty());
    library.removeSuscription(podcast("unknown"), OVSubscription::podcast);
    EXPECT_TRUE(library.library().empty());
}

TEST(UserLibrary, SavingDeletingAndCleaning) {
    auto clock = platform::core::RunLoop::main().useManualClock();
    Library& library = Library::shared();
    const OVContent kitchen = podcast("kitchen");
    auto first = episode("k1");

    library.save(first, kitchen);  // not subscribed: both flags false
    const auto& entry = library.library().at(kitchen);
    EXPECT_FALSE(entry.suscribed);
    EXPECT_FALSE(entry.notification);
    ASSERT_EQ(entry.savedEpisodes.size(), 1u);

    const auto savedAt = entry.lastAction;
    clock->advance(3);
    library.save(episode("k1"), kitchen);  // same key, another object: kept once
    EXPECT_EQ(library.library().at(kitchen).savedEpisodes.size(), 1u);
    EXPECT_EQ(library.library().at(kitchen).savedEpisodes[0], first);
    EXPECT_GT(library.library().at(kitchen).lastAction, savedAt);

    library.save(episode("k2"), kitchen);
    library.deleteEpisode(episode("never"), kitchen);  // never saved: nothing changes
    EXPECT_EQ(library.library().at(kitchen).savedEpisodes.size(), 2u);

    library.addSuscription(kitchen, OVSubscription::podcast);
    library.removeSuscription(kitchen, OVSubscription::podcast);
    ASSERT_EQ(library.library().count(kitchen), 1u);  // saved episodes keep the entry
    EXPECT_FALSE(library.userHasSuscribded(kitchen, OVSubscription::podcast));

    const auto lastAction = library.library().at(kitchen).lastAction;
    clock->advance(3);
    library.deleteEpisode(first, kitchen);
    EXPECT_EQ(library.library().at(kitchen).lastAction, lastAction);  // deleting is not an action
    EXPECT_EQ(library.library().at(kitchen).savedEpisodes[0]->key(), "k2");
    library.deleteEpisode(episode("k2"), kitchen);
    EXPECT_TRUE(library.library().empty());
}

TEST(UserLibrary, EntriesKeepTheirContentAndOrderByLastAction) {
    auto clock = platform::core::RunLoop::main().useManualClock();
    Library& library = Library::shared();
    library.addSuscription(podcast("a", "First A"), OVSubscription::podcast);
    clock->advance(1);
    library.save(episode("b1"), podcast("b"));
    clock->advance(1);
    library.addSuscription(podcast("c"), OVSubscription::podcast);
    EXPECT_EQ(newestFirst(library), (std::vector<std::string>{"c", "b", "a"}));

    // A later version of "a" (re-decoded, other title) finds the same entry and moves it first.
    clock->advance(1);
    library.save(episode("a1"), podcast("a", "Second A"));
    EXPECT_EQ(library.library().size(), 3u);
    EXPECT_EQ(newestFirst(library), (std::vector<std::string>{"a", "c", "b"}));

    // Every entry gives back the content it was made for, so the library page can list it.
    for (const auto& [content, entry] : library.library()) {
        ASSERT_TRUE(entry.podcast()) << entry.podcastKey;
        EXPECT_EQ(entry.podcast()->identifier, entry.podcastKey);
    }
    EXPECT_EQ(library.library().at(podcast("a")).podcast()->title, "First A");
    EXPECT_EQ(library.library().find(podcast("a"))->first.title, "First A");
}

TEST(UserLibrary, EntryEqualityAndOrder) {
    const platform::core::Date t0{100}, t1{200};
    Library::PodcastDataStructure a("p", true, false, {episode("x")}, t0);
    Library::PodcastDataStructure b("p", true, false, {episode("x")}, t0);  // other object, same key
    EXPECT_EQ(a, b);
    b.notification = true;
    EXPECT_FALSE(a == b);
    Library::PodcastDataStructure later("q", false, false, {}, t1);
    EXPECT_TRUE(a < later);
    EXPECT_TRUE(later > a);
    EXPECT_TRUE(later.isEmpty());
    EXPECT_FALSE(a.isEmpty());
    EXPECT_EQ(a.podcast(), std::nullopt);  // built outside the library
}

TEST(UserLibrary, ContentConfigurationAndRecommendationLists) {
    EXPECT_EQ(OVMock::Data::shared().theme(), OVTheme::light);
    EXPECT_EQ(OVMock::Data::shared().poweredByLabel(), std::nullopt);
    EXPECT_TRUE(Library::shared().recommendationsHeadlines().empty());
    EXPECT_TRUE(Library::shared().discoverRecommendations().empty());
}
