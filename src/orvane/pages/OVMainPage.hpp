// The listening page: the root page of the root container's middle screen.
// Its table shows four elements in a fixed order (the player, the
// description of the current episode, the recommended episodes, the current
// podcast); two side buttons in the navigation bar page the container to
// the library screen (left) and the discover screen (right), visible only
// while the screen shows its bar. It follows the widget's state through its
// state manager (registered with the bridge when the page is made), serves
// the compact presentation with a preview view and the artwork ratio, and
// asks the root container not to show the footer player over it. The
// element cells report here; the page hands their actions to its presenter.
//
// Made only by `OVPage::create<OVMainPage>(coordinator)`: the page owns its
// presenter, its state manager and, through the presenter, its elements;
// the coordinator, the optional `mainPageDelegate` and the root container
// are held weakly, and a gone one is not told. Main thread only.
#pragma once

#include <memory>
#include <vector>

#include "orvane/elements/OVAdUserInteractionDelegate.hpp"
#include "orvane/elements/OVDescriptionTextTableViewCellDelegate.hpp"
#include "orvane/elements/OVShareTableViewCellDelegate.hpp"
#include "orvane/model/OVTrack.hpp"
#include "orvane/model/OVTrackInPodcast.hpp"
#include "orvane/pages/OVMainPageUserAction.hpp"
#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageCoordinator.hpp"
#include "orvane/pages/OVUserTrackDownloadAction.hpp"
#include "orvane/pages/OVmainPageInput.hpp"
#include "orvane/playback/OVPlayerUserActionDelegate.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/View.hpp"

namespace orvane {

class OVMainPageInteractorInput;
class OVMainPageStateManager;
class OVOpenPodcastTableViewCell;
class OVPlayerTableViewCell;

// Who may take the main page's player, download, skip and share actions.
class OVMainPageDelegate : public virtual OVAdUserInteractionDelegate,
                           public virtual OVPlayerUserActionDelegate,
                           public virtual OVShareTableViewCellDelegate,
                           public virtual OVUserTrackDownloadAction {};

class OVMainPage : public OVPage,
                   public OVmainPageInput,
                   public OVDescriptionTextTableViewCellDelegate,
                   public OVMainPageUserAction,
                   public virtual OVPlayerUserActionDelegate,
                   public virtual OVUserTrackDownloadAction,
                   public virtual OVAdUserInteractionDelegate,
                   public virtual OVShareTableViewCellDelegate {
public:
    // Whether the left (library) and right (discover) side buttons are in
    // use; the root container sets both once its screens exist, before the
    // page's view loads.
    struct NavigationBarButtons {
        bool left = false;
        bool right = false;
    };

    explicit OVMainPage(ConstructorKey key);
    ~OVMainPage() override;

    // The second phase of `OVPage::create`: the presenter, the state manager
    // (registered with the bridge) and the four elements.
    void initialize(const std::shared_ptr<OVPageCoordinator>& withCoordinator);

    void setNavigationBarButtonIsDisplayed(NavigationBarButtons buttons) { navigationBarButtonIsDisplayed_ = buttons; }
    NavigationBarButtons navigationBarButtonIsDisplayed() const { return navigationBarButtonIsDisplayed_; }

    std::shared_ptr<OVMainPageDelegate> mainPageDelegate() const { return mainPageDelegate_.lock(); }
    void setMainPageDelegate(std::weak_ptr<OVMainPageDelegate> delegate) { mainPageDelegate_ = std::move(delegate); }

    // The first visible row after a layout pass (the player row at the top
    // of the table); none when the table shows no row.
    std::shared_ptr<platform::ui::View> preview();
    // Sets the artwork constraint's constant to (ratio - 1) x page width
    // inside one batch of table updates, so the player row's height follows
    // (animated unless `withoutAnimation`); returns at once when the
    // constant is that already. Called on every step of a presentation drag.
    void setImageRatio(double ratio, bool withoutAnimation);
    // The player cell's artwork constraint, if any.
    std::shared_ptr<platform::ui::LayoutConstraint> ratioConstraint() const;

    // ---- From the state manager ----
    using OVPage::update;
    // The presenter themes its cells, then the page themes the player,
    // description, recommendation-list and current-podcast cells.
    void update(const OVTheme& withTheme, const platform::graphics::Color& andMainColor) override;
    void update(const std::shared_ptr<OVTrack>& withEpisode, const OVContent& inPodcast) override;
    virtual void update(const std::vector<OVTrackInPodcast>& withRecommendations);
    // Status and position reach the player cell only.
    void update(OVAudioPlayerStatus withAudioStatus) override;
    void update(const OVAudioPosition& withAudioPosition) override;

    // An episode's download status changed (from the root container): no
    // row of the page shows it, so nothing changes.
    virtual void downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack, const OVTrack::DownloadStatus& to);

    // ---- From the root container and the screen ----
    void presentationAnimationWillStart() override;
    void navigationBarDisplayChanged(bool displayed) override;

    // ---- The view controller and table callbacks ----
    void viewDidLoad() override;
    void viewDidAppear(bool animated) override;
    void initializeNavigationButtons() override;
    void initializeTableView() override;
    void didSelectRow(platform::ui::TableView& tableView, const platform::ui::IndexPath& indexPath) override;

    // ---- OVPageProtocol (through OVmainPageInput): the page base's ----
    void push(const std::shared_ptr<OVPage>& page, bool animated) override { OVPage::push(page, animated); }
    std::shared_ptr<OVFanViewControllerProtocol> fanViewController() const override {
        return OVPage::fanViewController();
    }

    // ---- From the element cells ----
    void didTapSeeMore(const std::shared_ptr<OVPageElement::Description>& forDescriptionElement) override;
    void didSelectEpisode(const OVTrackInPodcast& trackInPodcast) override;
    void didTapForDetails(const OVTrackInPodcast& forTrackInPodcast) override;
    void didSave(const std::shared_ptr<OVTrack>& episode, const OVContent& inPodcast) override;

    // ---- Handed to `mainPageDelegate` when there is one ----
    void didTapBackward() override;
    void didTapPlay() override;
    void didTapPause() override;
    void didTapForward() override;
    void didChangeSlider(float value, std::function<void(bool)> completionHandler) override;
    void didTogglePlayPause() override;
    void didTapDownload(const std::shared_ptr<OVTrack>& forTrack) override;
    // ---- Ignored ----
    void didTapSkipButton() override {}
    void didTapSendUpButton() override {}
    void didTapApplePodcastsButton() override {}

private:
    std::weak_ptr<OVMainPageDelegate> mainPageDelegate_;
    std::shared_ptr<OVMainPageStateManager> stateManager_;
    std::shared_ptr<OVMainPageInteractorInput> interactor_;
    std::shared_ptr<OVPlayerTableViewCell> playerCell_;
    std::shared_ptr<OVOpenPodcastTableViewCell> openPodcastCell_;
    NavigationBarButtons navigationBarButtonIsDisplayed_;
};

}  // namespace orvane
