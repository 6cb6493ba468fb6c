// Test kit for the element and page tests: a page that adopts every protocol
// through which element cells report to their page and only writes each
// call, in order, into `calls` ("name(arguments)"). The closures handed with
// a long press or a subscription change are kept for the test to run.
//
// Made like every page, in two phases: `OVPage::create<RecordingPage>(
// coordinator, build)` makes the page, gives it a base presenter (the data
// source of its table, as a page's presenter is) and then lets `build` make
// the page's elements with the finished page, which become its rows.
// Header-only; main thread.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "orvane/elements/OVAdUserInteractionDelegate.hpp"
#include "orvane/elements/OVContentIdentityCellDelegate.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCellDelegate.hpp"
#include "orvane/elements/OVDiscoverRecommendationsCellDelegate.hpp"
#include "orvane/elements/OVEpisodePlayCellDelegate.hpp"
#include "orvane/elements/OVPodcastSubscriptionCellDelegate.hpp"
#include "orvane/elements/OVRecommendationsHeadlinesDelegate.hpp"
#include "orvane/elements/OVShareTableViewCellDelegate.hpp"
#include "orvane/pages/OVLibraryPageUserAction.hpp"
#include "orvane/pages/OVMainPageUserAction.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "orvane/pages/OVPodcastPageUserAction.hpp"
#include "orvane/pages/OVUserTrackDownloadAction.hpp"
#include "support/RecordingCoordinator.hpp"

namespace testsupport {

class RecordingPage : public orvane::OVPage,
                      public orvane::OVMainPageUserAction,
                      public orvane::OVPodcastPageUserAction,
                      public orvane::OVLibraryPageUserAction,
                      public orvane::OVDescriptionTextTableViewCellDelegate,
                      public orvane::OVContentIdentityCellDelegate,
                      public orvane::OVEpisodePlayCellDelegate,
                      public orvane::OVPodcastSubscriptionCellDelegate,
                      public orvane::OVDiscoverRecommendationsCellDelegate,
                      public orvane::OVRecommendationsHeadlinesDelegate,
                      public orvane::OVShareTableViewCellDelegate,
                      public orvane::OVAdUserInteractionDelegate,
                      public orvane::OVUserTrackDownloadAction {
public:
    using Build = std::function<orvane::OVPageElements(const std::shared_ptr<RecordingPage>&)>;

    explicit RecordingPage(ConstructorKey key) : OVPage(key) {}

    // The second phase of `OVPage::create`.
    void initialize(const std::shared_ptr<orvane::OVPageCoordinator>& coordinator = nullptr, const Build& build = {}) {
        presenter = orvane::OVPageInteractorInteractor::create(coordinator);
        setGenericInteractor(presenter);
        tableView()->setDataSource(presenter);
        if (build) presenter->update(build(std::static_pointer_cast<RecordingPage>(shared_from_this())));
    }

    // ---- the episode rows, the main and podcast pages' lists ----
    void didTapForDetails(const orvane::OVTrackInPodcast& forTrackInPodcast) override {
        calls.push_back("didTapForDetails(" + pairText(forTrackInPodcast.track, forTrackInPodcast.podcast) + ")");
    }
    void didSave(const std::shared_ptr<orvane::OVTrack>& episode, const orvane::OVContent& inPodcast) override {
        calls.push_back("didSave(" + pairText(episode, inPodcast) + ")");
    }
    void didSelectEpisode(const orvane::OVTrackInPodcast& trackInPodcast) override {
        calls.push_back("didSelectEpisode(" + pairText(trackInPodcast.track, trackInPodcast.podcast) + ")");
    }
    void didLongPress(const std::shared_ptr<orvane::OVTrack>& episode, const orvane::OVContent& forPodcastInSavedSection,
                      std::function<void()> executeAction) override {
        calls.push_back("didLongPress(" + pairText(episode, forPodcastInSavedSection) + ")");
        executeActions.push_back(std::move(executeAction));
    }
    // Also the subscription cell's delegate.
    void subscription(orvane::OVSubscription forType, bool didChangeToValue,
                      std::function<void(bool)> withCompletion) override {
        calls.push_back("subscription(" + subscriptionText(forType) + ", " + boolText(didChangeToValue) + ")");
        completions.push_back(std::move(withCompletion));
    }

    // ---- the library list; also the headline carousel ----
    void didSelectPodcast(const orvane::OVContent& podcast) override {
        calls.push_back("didSelectPodcast(" + podcast.identifier + ")");
    }
    void didToggleNotification(const orvane::OVContent& forPodcast, bool isActive) override {
        calls.push_back("didToggleNotification(" + forPodcast.identifier + ", " + boolText(isActive) + ")");
    }

    // ---- the other element cells ----
    void didTapSeeMore(const std::shared_ptr<orvane::OVPageElement::Description>& forDescriptionElement) override {
        calls.push_back("didTapSeeMore()");
        seeMoreElements.push_back(forDescriptionElement);
    }
    void didTapSubtitle() override { calls.push_back("didTapSubtitle()"); }
    void didTapPlay() override { calls.push_back("didTapPlay()"); }
    void didTapForDetails(const std::shared_ptr<orvane::OVTrack>& forTrack, const orvane::OVContent& inPodcast) override {
        calls.push_back("didTapForDetails(forTrack: " + pairText(forTrack, inPodcast) + ")");
    }
    void didTapSendUpButton() override { calls.push_back("didTapSendUpButton()"); }
    void didTapApplePodcastsButton() override { calls.push_back("didTapApplePodcastsButton()"); }
    void didTapSkipButton() override { calls.push_back("didTapSkipButton()"); }
    void didTapDownload(const std::shared_ptr<orvane::OVTrack>& forTrack) override {
        calls.push_back("didTapDownload(" + (forTrack ? forTrack->key() : std::string("-")) + ")");
    }

    Calls calls;
    std::vector<std::function<void()>> executeActions;
    std::vector<std::function<void(bool)>> completions;
    std::vector<std::shared_ptr<orvane::OVPageElement::Description>> seeMoreElements;
    std::shared_ptr<orvane::OVPageInteractorInteractor> presenter;
};

}  // namespace testsupport
