// The podcast page: one podcast inside the root container, as four rows, an
// identity header, the subscription buttons, the podcast's description and
// its episode list. The page builds its elements, hands its cells' user
// actions unchanged to its presenter (`OVPodcastPageInteractor`, which it
// owns) and is what its state manager (registered with the bridge) updates.
//
// Made only by `OVPage::create<OVPodcastPage>(coordinator)` by the
// presenters that open it, which then give it its podcast (`update`) and
// push it onto their screen. The coordinator is held weakly, by the
// presenter and the elements. Main thread only.
#pragma once

#include <functional>
#include <memory>

#include "orvane/elements/OVDescriptionTextTableViewCellDelegate.hpp"
#include "orvane/elements/OVPodcastSubscriptionCellDelegate.hpp"
#include "orvane/model/OVContent.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVPodcastPageUserAction.hpp"

namespace orvane {

class OVPodcastPageInteractorInput;
class OVPodcastPageStateManager;

class OVPodcastPage : public OVPage,
                      public OVPodcastSubscriptionCellDelegate,
                      public OVDescriptionTextTableViewCellDelegate,
                      public OVPodcastPageUserAction {
public:
    explicit OVPodcastPage(ConstructorKey key);
    ~OVPodcastPage() override;

    // Titles the page, makes its presenter and its state manager (added to
    // the bridge's observers), and builds its four rows.
    void initialize(const std::shared_ptr<OVPageCoordinator>& coordinator);

    const std::shared_ptr<OVPodcastPageInteractorInput>& interactor() const { return interactor_; }
    const std::shared_ptr<OVPodcastPageStateManager>& stateManager() const { return stateManager_; }

    // Applies the bridge's last widget state to the page.
    void updateWithCurrentState();
    // The podcast the page shows; given once, before the page is pushed. A
    // page not yet brought up to date is brought up to date first.
    void update(const OVContent& forPodcast);
    void update(OVPageElements pageElements);

    // ---- The state manager's updates, to the presenter ----
    using OVPage::update;
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    void update(OVAudioPlayerStatus withAudioStatus) override;

    // ---- The cells' user actions, to the presenter ----
    void subscription(OVSubscription forType, bool didChangeToValue,
                      std::function<void(bool)> withCompletion) override;
    void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) override;
    void didLongPress(const std::shared_ptr<OVTrack>& episode, const OVContent& forPodcastInSavedSection,
                      std::function<void()> executeAction) override;
    void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) override;
    void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) override;
    // Develops the description.
    void didTapSeeMore(const std::shared_ptr<OVPageElement::Description>& forDescriptionElement) override;

    void viewDidLoad() override;
    // Shows the bar, reads the subscription buttons again and measures the
    // header's scrolling title.
    void viewWillAppear(bool animated) override;
    // The row's own cell's height at its last layout, else automatic.
    double estimatedHeightForRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;

    void viewDidAppear(bool animated) override;

private:
    // Gives the header's scrolling title the width it has once laid out (at
    // appearance, before the first layout, it would be none), so that a
    // title that fits stands still.
    void measureHeaderTitles();

    std::shared_ptr<OVPodcastPageInteractorInput> interactor_;
    std::shared_ptr<OVPodcastPageStateManager> stateManager_;
};

}  // namespace orvane
