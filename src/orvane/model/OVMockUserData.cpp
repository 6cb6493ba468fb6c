#include "orvane/model/OVMockUserData.hpp"

#include "platform/core/NoDestructor.hpp"
#include "platform/core/RunLoop.hpp"

#include <algorithm>

namespace orvane::OVMock {

void UserData::PodcastDataStructure::newActionWasMade() { lastAction = platform::core::Date::now(); }

bool operator==(const UserData::PodcastDataStructure& a, const UserData::PodcastDataStructure& b) {
    return a.podcastKey == b.podcastKey && a.suscribed == b.suscribed && a.notification == b.notification &&
           a.lastAction == b.lastAction &&
           std::equal(a.savedEpisodes.begin(), a.savedEpisodes.end(), b.savedEpisodes.begin(), b.savedEpisodes.end(),
                      OVTrackKeyEqual{});
}

UserData& UserData::shared() {
    static platform::core::NoDestructor<UserData> instance{std::in_place, [] { return UserData(); }};
    return *instance;
}

void UserData::cleanLibrary() {
    const Library copy = library_;
    for (const auto& [content, entry] : copy) {
        if (entry.isEmpty()) library_.erase(content);
    }
}

bool UserData::userHasSuscribded(const OVContent& forPodcast, OVSubscription inCategory) const {
    PLATFORM_ASSERT_MAIN_THREAD();
    auto it = library_.find(forPodcast);
    if (it == library_.end()) return false;
    return inCategory == OVSubscription::podcast ? it->second.suscribed : it->second.notification;
}

void UserData::addSuscription(const OVContent& forPodcast, OVSubscription inCategory) {
    PLATFORM_ASSERT_MAIN_THREAD();
    auto it = library_.find(forPodcast);
    if (it == library_.end()) {
        if (inCategory != OVSubscription::podcast) return;
        PodcastDataStructure entry(forPodcast.identifier, true, true, {}, platform::core::Date::now());
        entry.content_ = forPodcast;
        library_.emplace(forPodcast, std::move(entry));
        return;
    }
    PodcastDataStructure entry = it->second;
    if (inCategory == OVSubscription::podcast) entry.suscribed = true;
    entry.notification = true;
    entry.newActionWasMade();
    it->second = std::move(entry);
}

void UserData::removeSuscription(const OVContent& forPodcast, OVSubscription inCategory) {
    PLATFORM_ASSERT_MAIN_THREAD();
    auto it = library_.find(forPodcast);
    if (it != library_.end()) {
        PodcastDataStructure entry = it->second;
        if (inCategory == OVSubscription::podcast) entry.suscribed = false;
        entry.notification = false;
        it->second = std::move(entry);
    }
    cleanLibrary();
}

void UserData::save(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    PLATFORM_ASSERT_MAIN_THREAD();
    if (!episode) return;
    auto it = library_.find(inPodcast);
    if (it == library_.end()) {
        PodcastDataStructure entry(inPodcast.identifier, false, false, {episode}, platform::core::Date::now());
        entry.content_ = inPodcast;
        library_.emplace(inPodcast, std::move(entry));
        return;
    }
    PodcastDataStructure entry = it->second;
    const bool alreadySaved = std::any_of(entry.savedEpisodes.begin(), entry.savedEpisodes.end(),
                                          [&](const auto& saved) { return OVTrackKeyEqual{}(saved, episode); });
    if (!alreadySaved) entry.savedEpisodes.push_back(episode);
    entry.newActionWasMade();
    it->second = std::move(entry);
}

void UserData::deleteEpisode(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) {
    PLATFORM_ASSERT_MAIN_THREAD();
    auto it = library_.find(inPodcast);
    if (it != library_.end() && episode) {
        PodcastDataStructure entry = it->second;
        auto saved = std::find_if(entry.savedEpisodes.begin(), entry.savedEpisodes.end(),
                                  [&](const auto& item) { return OVTrackKeyEqual{}(item, episode); });
        if (saved != entry.savedEpisodes.end()) entry.savedEpisodes.erase(saved);
        it->second = std::move(entry);
    }
    cleanLibrary();
}

}  // namespace orvane::OVMock
