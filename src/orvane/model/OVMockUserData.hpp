// The listener's library, in memory only: for each podcast acted on, the
// subscription and notification flags, the saved episodes and the time of
// the last action; plus the two recommendation lists of the discover page.
//
// One shared instance (OVMock::UserData::shared()), empty at every launch.
// Main thread only, no locks. The library is keyed by content under content
// equality (the key alone): a later version of a content finds the same
// entry, and the entry keeps the content it was made for (`podcast()`).
#pragma once

#include "orvane/model/OVContent.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVSubscription.hpp"
#include "platform/core/Date.hpp"

#include <memory>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace orvane::OVMock {

class UserData {
public:
    struct PodcastDataStructure {
        std::string podcastKey;  // identifier of the content; not changed after creation
        bool suscribed = false;
        bool notification = false;
        std::vector<std::shared_ptr<OVTrack>> savedEpisodes;  // in saving order, no two with the same key
        platform::core::Date lastAction;

        PodcastDataStructure(std::string podcastKey, bool suscribed, bool notification,
                             std::vector<std::shared_ptr<OVTrack>> savedEpisodes, platform::core::Date lastAction)
            : podcastKey(std::move(podcastKey)),
              suscribed(suscribed),
              notification(notification),
              savedEpisodes(std::move(savedEpisodes)),
              lastAction(lastAction) {}

        bool isEmpty() const { return !suscribed && !notification && savedEpisodes.empty(); }
        // lastAction becomes now.
        void newActionWasMade();
        // The content the entry was made for (none for an entry built
        // outside the library).
        std::optional<OVContent> podcast() const { return content_; }

        // All five fields (episodes by key); the content takes no part.
        friend bool operator==(const PodcastDataStructure& a, const PodcastDataStructure& b);
        // By lastAction only.
        friend bool operator<(const PodcastDataStructure& a, const PodcastDataStructure& b) {
            return a.lastAction < b.lastAction;
        }
        friend bool operator>(const PodcastDataStructure& a, const PodcastDataStructure& b) { return b < a; }
        friend bool operator<=(const PodcastDataStructure& a, const PodcastDataStructure& b) { return !(b < a); }
        friend bool operator>=(const PodcastDataStructure& a, const PodcastDataStructure& b) { return !(a < b); }

    private:
        friend class UserData;
        std::optional<OVContent> content_;
    };

    struct DiscoverRecommendation {
        std::shared_ptr<OVTrack> episode;
        OVContent inPodCast;
    };

    using Library = std::unordered_map<OVContent, PodcastDataStructure>;

    static UserData& shared();

    const Library& library() const { return library_; }
    void setLibrary(Library library) { library_ = std::move(library); }
    // Removes every entry that holds nothing.
    void cleanLibrary();

    const std::vector<OVContent>& recommendationsHeadlines() const { return recommendationsHeadlines_; }
    void setRecommendationsHeadlines(std::vector<OVContent> contents) { recommendationsHeadlines_ = std::move(contents); }
    const std::vector<DiscoverRecommendation>& discoverRecommendations() const { return discoverRecommendations_; }
    void setDiscoverRecommendations(std::vector<DiscoverRecommendation> items) {
        discoverRecommendations_ = std::move(items);
    }

    // False without an entry.
    bool userHasSuscribded(const OVContent& forPodcast, OVSubscription inCategory) const;
    // podcast: creates the entry or sets both flags (and the action time);
    // notification: only on an existing entry.
    void addSuscription(const OVContent& forPodcast, OVSubscription inCategory);
    // Clears the flag(s) of an existing entry, then cleans the library.
    void removeSuscription(const OVContent& forPodcast, OVSubscription inCategory);
    // Creates the entry, or appends the episode unless saved already; the
    // action time moves either way.
    void save(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast);
    // delete(episode:inPodcast:) ("delete" is a C++ keyword): removes the first
    // saved episode with the episode's key, then cleans.
    void deleteEpisode(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast);

    UserData() = default;

private:
    Library library_;
    std::vector<OVContent> recommendationsHeadlines_;
    std::vector<DiscoverRecommendation> discoverRecommendations_;
};

}  // namespace orvane::OVMock
