// The episode page: one episode of one podcast inside the root container, as
// three rows, an identity header (whose subtitle opens the podcast's page),
// a play button and the episode's description in full. The page builds its
// elements, hands its cells' taps to its presenter
// (`OVEpisodePageInteractor`, which it owns) and is what its state manager
// (registered with the bridge) updates.
//
// Made only by `OVPage::create<OVEpisodePage>(coordinator)` by the
// presenters that open it, which then give it its episode (`update`) and
// push it onto their screen. The coordinator is held weakly, by the
// presenter and the elements. Main thread only.
#pragma once

#include <memory>

#include "orvane/elements/OVContentIdentityCellDelegate.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCellDelegate.hpp"
#include "orvane/elements/OVEpisodePlayCellDelegate.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/pages/OVEpisodePageInput.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"

namespace orvane {

class OVEpisodePageInteractorInput;
class OVEpisodePageStateManager;

class OVEpisodePage : public OVPage,
                      public OVEpisodePageInput,
                      public OVContentIdentityCellDelegate,
                      public OVEpisodePlayCellDelegate,
                      public OVDescriptionTextTableViewCellDelegate {
public:
    explicit OVEpisodePage(ConstructorKey key);
    ~OVEpisodePage() override;

    // Titles the page, makes its presenter and its state manager (added to
    // the bridge's observers), and builds its three rows.
    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);

    const std::shared_ptr<OVEpisodePageInteractorInput>& interactor() const { return interactor_; }
    const std::shared_ptr<OVEpisodePageStateManager>& stateManager() const { return stateManager_; }

    // Applies the bridge's last widget state to the page.
    void updateWithCurrentState();
    // The episode the page shows, with its podcast; given once, before the
    // page is pushed. A page not yet brought up to date is brought up to
    // date first.
    void update(const OVTrackInPodcast& withDisplayedEpisodeInPodcast);
    void update(OVPageElements pageElements);
    // Whether the header's subtitle opens the podcast's page (its look stays).
    void updateOpenPodcastPageIsEnabled(bool openPodcastPageIsEnabled);

    // ---- The state manager's updates, to the presenter ----
    using OVPage::update;
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;

    // ---- OVEpisodePageInput ----
    void push(const std::shared_ptr<OVPage>& page, bool animated) override { OVPage::push(page, animated); }
    std::shared_ptr<OVFanViewControllerProtocol> fanViewController() const override {
        return OVPage::fanViewController();
    }
    // Asks the root container, when there is one.
    void popToRootAndMoveToMainPage() override;

    // ---- The cells' taps ----
    void didTapSubtitle() override;
    void didTapPlay() override;
    void didTapSeeMore(const std::shared_ptr<OVPageElement::Description>& forDescriptionElement) override;

    void viewDidLoad() override;
    // Measures the header's scrolling title.
    void viewWillAppear(bool animated) override;

    void viewDidAppear(bool animated) override;

private:
    // Gives the header's scrolling title the width it has once laid out (at
    // appearance, before the first layout, it would be none), so that a
    // title that fits stands still.
    void measureHeaderTitles();

    std::shared_ptr<OVEpisodePageInteractorInput> interactor_;
    std::shared_ptr<OVEpisodePageStateManager> stateManager_;
};

}  // namespace orvane
