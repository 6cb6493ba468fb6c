// The root container: the controller the coordinator presents over the
// host's root view controller when the listener opens the player. It pages
// sideways between three screens (library 0, main 1, discover 2), shown
// first on the main one, and hosts the footer player and the popups.
//
// It is the presented controller of both presentations (bottom sheet and
// side panel): it takes their recognisers (and is their delegate), follows
// their display states, and keeps three things in step with them and with
// the page on show: whether the listener may swipe between screens, whether
// the footer player shows, and which pans may begin (a visible cell that
// adopts `OVViewShouldAcceptTouch` may keep them off its touch). Pages call
// it to show a popup, page sideways and go back to the main page; the
// coordinator to dismiss it and to ask before quitting.
//
// Made by the storyboard "OVStoryboard" (its initial scene), then set up by
// `initialize(coordinator)`. It owns its interactor (the page data source),
// its animator and its footer player; the coordinator, the open/close
// delegate and the presentation's recognisers are held weakly.
// Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "orvane/coordinator/OVFanVCInput.hpp"
#include "orvane/coordinator/OVFanVCInteractor.hpp"
#include "orvane/coordinator/OVFooterPlayerDelegate.hpp"
#include "orvane/coordinator/OVPageViewController.hpp"
#include "orvane/pages/OVFanViewControllerProtocol.hpp"
#include "orvane/presentation/OVCompactPresentableViewController.hpp"
#include "orvane/presentation/OVOpenCloseExpandDelegate.hpp"
#include "orvane/presentation/OVRegularPresentableViewController.hpp"
#include "orvane/presentation/OVVCPresentationTransitioningProtocol.hpp"
#include "platform/ui/controllers/NavigationController.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"

namespace platform::ui {
class AlertController;
}  // namespace platform::ui

namespace orvane {

class OVCoordinator;
class OVFooterPlayer;
class OVMainPage;
class OVPage;
class OVPopup;
class OVScreen;

class OVFanViewController : public OVPageViewController,
                            public OVFanViewControllerProtocol,
                            public OVFanVCInput,
                            public OVFooterPlayerDelegate,
                            public OVCompactPresentableViewController,
                            public OVRegularPresentableViewController,
                            public platform::ui::PageViewControllerDelegate,
                            public platform::ui::NavigationControllerDelegate {
public:
    // The footer player's height, and where its top rests above the
    // container's bottom while shown (its height and the screens' corner
    // radius) and while hidden (the corner radius).
    static constexpr double footerPlayerHeight = 88;
    static constexpr double footerPlayerDisplayedOffset = -100;
    static constexpr double footerPlayerHiddenOffset = -12;
    // Below this relative position of a shrinking sheet the footer hides.
    static constexpr double footerPlayerShrinkThreshold = 0.85;

    // What the storyboard scene makes: nothing set up yet, no screens.
    static std::shared_ptr<OVFanViewController> create();
    // Registers the storyboard "OVStoryboard", whose one (initial) scene
    // makes a root container.
    static void registerStoryboard();
    explicit OVFanViewController(ConstructorKey key);
    ~OVFanViewController() override;

    using OVPageViewController::dismiss;
    using OVPageViewController::present;

    // ---- Set-up ----
    // Keeps the coordinator (weakly), makes the interactor (the data
    // source, with the light theme and the widget's main colour for the
    // popups), becomes the presentation's transitioning delegate and the
    // page delegate, installs the footer player, then builds the screens.
    void initialize(const std::shared_ptr<OVCoordinator>& coordinator);
    // Library, main and discover screens, the main page told both side
    // screens exist before its view loads, the main screen shown (index 1).
    void initializeScreens();

    // ---- Properties ----
    std::shared_ptr<OVFanVCInteractorInput> interactor() const { return interactor_; }
    std::shared_ptr<OVCoordinator> coordinator() const { return coordinator_.lock(); }
    std::shared_ptr<OVOpenCloseExpandDelegate> ovDelegate() const { return ovDelegate_.lock(); }
    void setOvDelegate(const std::shared_ptr<OVOpenCloseExpandDelegate>& delegate) { ovDelegate_ = delegate; }
    const std::shared_ptr<OVVCPresentationTransitioningProtocol>& presentationTransitioning() const {
        return presentationTransitioning_;
    }
    void setPresentationTransitioning(std::shared_ptr<OVVCPresentationTransitioningProtocol> transitioning) {
        presentationTransitioning_ = std::move(transitioning);
    }
    bool isSwipable() const { return isSwipable_; }
    // A change switches paging by swipe to the new value; the same value
    // does nothing.
    void setIsSwipable(bool swipable);
    const std::shared_ptr<OVFooterPlayer>& footerPlayer() const { return footerPlayer_; }
    const std::shared_ptr<platform::ui::LayoutConstraint>& footerPlayerTopConstraint() const {
        return footerPlayerTopConstraint_;
    }
    bool footerIsReady() const { return footerIsReady_; }
    bool footerPlyerIsDisplayed() const { return footerPlyerIsDisplayed_; }

    // The screen shown, its top page, and that page when it is the main page.
    std::shared_ptr<OVScreen> currentScreen() const;
    std::shared_ptr<OVPage> currentPage() const;
    std::shared_ptr<OVMainPage> mainPage() const;
    // The main page's header image ratio constraint, when it is on top.
    std::shared_ptr<platform::ui::LayoutConstraint> ratioConstraint() const;

    // ---- Actions ----
    // Puts the container away through its animator (when set) and sends
    // the swipe-down tracking in every case.
    void dismiss();
    // The quit sheet: keep playing, quit (runs `withQuitHandler`), cancel.
    // At regular width it points at the container's view.
    void presentQuitAlertViewController(std::function<void()> withQuitHandler);

    // ---- Footer player ----
    // Loads the footer player from its nib and pins it 88 high across the
    // bottom, hidden; without a footer player from the nib, none.
    void setFooterPlayer(const std::shared_ptr<OVCoordinator>& coordinator,
                         const std::shared_ptr<OVFanViewController>& fan);
    // Once: the footer's top is tied just below the container's bottom, and
    // it is unhidden.
    void prepareFooterPlayerPresentationIfNeeded();
    // Shows (true) or hides (false) the footer: the wanted display is kept
    // at once; on a later turn of the main queue the footer slides to it in
    // 0.3 s (ease-out). Asking for the display already kept does nothing.
    void updateFooterPlayerDisplay(bool display);

    // ---- OVFanViewControllerProtocol ----
    // Slides the screen before or after in, then, once it is in place,
    // brings the indices and the footer in step as a listener's paging
    // does; nothing at the ends.
    void swipe(platform::ui::PageViewControllerNavigationDirection withDirection) override;
    void displayPopup(const platform::ui::AttributedString& withAttributedString) override;
    void moveToMainPage() override;
    void popToRootAndMoveToMainPage() override;
    std::shared_ptr<platform::ui::ViewController> viewController() override { return shared_from_this(); }
    // Passed on to the main page.
    void downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack, const OVTrack::DownloadStatus& to) override;

    // ---- OVFanVCInput ----
    // Springs the popup out from behind the footer player (or the bottom
    // edge without one) to 20 points above it; 2 s later it slides back and
    // goes.
    void present(const std::shared_ptr<OVPopup>& popup) override;

    // ---- OVFooterPlayerDelegate ----
    void didTapFooterPlayer() override;
    void didTapPlay() override;
    void didTapPause() override;

    // ---- OVExpandableViewController ----
    std::optional<OVTheme> theme() const override;
    void controllerViewWasAddedToContainer(platform::ui::LayoutGuide& withSafeGuide) override;
    void closeTapGestureRecognizerWasSet(
        const std::shared_ptr<platform::ui::TapGestureRecognizer>& tapGestureRecognizer) override;
    void presentationAnimationWillStart() override;

    // ---- OVCompactPresentableViewController ----
    void expandingPanGestureRecognizerWasSet(
        const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) override;
    void dismissPanGestureRecognizerWasSet(
        const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) override;
    void stateDidChange(OVCompactDisplayState from, OVCompactDisplayState to) override;
    OVCompactTransitionPropertyList transitionProperties() override;
    std::shared_ptr<platform::ui::View> preview() override;
    void setImageRatio(double ratio, bool withoutAnimation) override;
    bool shouldStartShrink() override;
    void isShrinking(double withRelativePosition) override;

    // ---- OVRegularPresentableViewController ----
    void stateDidChange(OVRegularDisplayState toValue) override;
    void dismissGestureRecognizerWasSetForRegularDisplay(
        const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) override;

    // ---- ViewControllerTransitioningDelegate ----
    std::shared_ptr<platform::ui::AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<platform::ui::ViewController>& presented,
        const std::shared_ptr<platform::ui::ViewController>& presenting,
        const std::shared_ptr<platform::ui::ViewController>& source) override;

    // ---- GestureRecognizerDelegate ----
    // The close tap takes only touches outside the container's view.
    bool gestureRecognizerShouldReceive(platform::ui::GestureRecognizer& recognizer,
                                        const platform::ui::Touch& touch) override;
    // The three pans begin unless a visible cell of the current page
    // refuses the touch.
    bool gestureRecognizerShouldBegin(platform::ui::GestureRecognizer& recognizer) override;
    // The dismiss pan goes on together with the current page's table.
    bool gestureRecognizerShouldRecognizeSimultaneously(platform::ui::GestureRecognizer& recognizer,
                                                        platform::ui::GestureRecognizer& other) override;

    // ---- PageViewControllerDelegate ----
    void willTransitionTo(platform::ui::PageViewController& pageViewController,
                          const std::vector<std::shared_ptr<platform::ui::ViewController>>& pending) override;
    void didFinishAnimating(platform::ui::PageViewController& pageViewController, bool finished,
                            const std::vector<std::shared_ptr<platform::ui::ViewController>>& previous,
                            bool transitionCompleted) override;

    // ---- NavigationControllerDelegate (of every screen) ----
    void willShow(const std::shared_ptr<platform::ui::NavigationController>& navigationController,
                  const std::shared_ptr<platform::ui::ViewController>& viewController, bool animated) override;
    void didShow(const std::shared_ptr<platform::ui::NavigationController>& navigationController,
                 const std::shared_ptr<platform::ui::ViewController>& viewController, bool animated) override;

    // ---- OVPageViewController ----
    // The rubber band shows; the footer player moves sideways with it.
    void scrollViewIsBouncing(double withOffset) override;

    // The page view controller's view, as large as the key window (as a
    // storyboard scene's view is as large as the screen) and following its
    // superview's size: the presentations size it through their own views.
    void loadView() override;
    void viewWillAppear(bool animated) override;

private:
    std::shared_ptr<OVFanViewController> self();
    void dismiss(const std::shared_ptr<OVPopup>& popup,
                 const std::shared_ptr<platform::ui::LayoutConstraint>& withTopConstraint,
                 const std::shared_ptr<platform::ui::LayoutConstraint>& andBottomConstraint);
    // The root page's table of `screen` scrolled to the top (in one batch),
    // then the screen popped to its root.
    static void scrollToTopAndPopToRoot(const std::shared_ptr<OVScreen>& screen, bool animated);

    std::shared_ptr<OVFanVCInteractor> interactor_;
    std::weak_ptr<OVCoordinator> coordinator_;
    std::weak_ptr<OVOpenCloseExpandDelegate> ovDelegate_;
    std::shared_ptr<OVVCPresentationTransitioningProtocol> presentationTransitioning_;
    bool isSwipable_ = false;
    std::weak_ptr<platform::ui::TapGestureRecognizer> closeTapGR_;
    std::weak_ptr<platform::ui::PanGestureRecognizer> expandingPanGR_;
    std::weak_ptr<platform::ui::PanGestureRecognizer> dismissPanGR_;
    std::weak_ptr<platform::ui::PanGestureRecognizer> dismissPanGRForRegularDisplay_;
    std::shared_ptr<OVFooterPlayer> footerPlayer_;
    std::shared_ptr<platform::ui::LayoutConstraint> footerPlayerTopConstraint_;
    bool footerIsReady_ = false;
    bool footerPlyerIsDisplayed_ = false;
};

}  // namespace orvane
