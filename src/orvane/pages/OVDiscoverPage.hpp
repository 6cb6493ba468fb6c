// The discover page: the root page of the screen right of the main screen.
// Two elements, the headline podcasts (a carousel) over the recommended
// episodes (a grid), both filled from the user library's recommendation
// lists each time the page is about to appear, each sized from the page
// width before it is filled. Choosing a headline podcast opens its page,
// asking for an episode's details opens its episode page, both on the
// discover screen. A button on the left of the bar pages back to the main
// screen. The current episode and the player status, when given, reach the
// episode grid only.
//
// Made only by `OVPage::create<OVDiscoverPage>(coordinator)`; owns its
// presenter. Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVDiscoverRecommendationsCellDelegate.hpp"
#include "orvane/elements/OVRecommendationsHeadlinesDelegate.hpp"
#include "orvane/pages/OVDiscoverPageInput.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/SOVDiscoverPageInteractorInput.hpp"

namespace orvane {

class OVDiscoverPage : public OVPage,
                       public OVDiscoverPageInput,
                       public OVRecommendationsHeadlinesDelegate,
                       public OVDiscoverRecommendationsCellDelegate {
public:
    explicit OVDiscoverPage(ConstructorKey key);
    ~OVDiscoverPage() override;
    // The second phase of `create`: the title, the presenter and the two
    // elements, whose cells report to this page (the grid also knows the
    // coordinator).
    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);

    // Passed unchanged to the presenter.
    void update(OVPageElements pageElements);
    // Also keeps the colours: the page dresses its rows in them from then on
    // (before, in those of the widget's last state at each appearance).
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;
    using OVPage::update;

    // ---- The cells' user actions, passed unchanged to the presenter ----
    void didSelectPodcast(const OVContent& podcast) override;
    void didTapForDetails(const std::shared_ptr<OVTrack>& forTrack, const OVContent& inPodcast) override;

    // ---- OVPageProtocol (one page, seen through its input protocol too) ----
    void push(const std::shared_ptr<OVPage>& page, bool animated) override { OVPage::push(page, animated); }
    std::shared_ptr<OVFanViewControllerProtocol> fanViewController() const override {
        return OVPage::fanViewController();
    }

    // The left button, paging back to the main screen.
    void initializeNavigationButtons() override;
    // The table's data source set again, the bar shown, then each element
    // sized from the page width and filled from the user library.
    void viewWillAppear(bool animated) override;

private:
    std::shared_ptr<SOVDiscoverPageInteractorInput> interactor_;
    bool lookGiven_ = false;
};

}  // namespace orvane
