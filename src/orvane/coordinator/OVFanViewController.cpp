#include "orvane/coordinator/OVFanViewController.hpp"

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/coordinator/OVFooterPlayer.hpp"
#include "orvane/coordinator/OVPopup.hpp"
#include "orvane/model/OVMockData.hpp"
#include "orvane/model/StringExtensions.hpp"
#include "orvane/pages/OVDiscoverPage.hpp"
#include "orvane/pages/OVLibraryPage.hpp"
#include "orvane/pages/OVMainPage.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/pages/OVViewShouldAcceptTouch.hpp"
#include "orvane/widget/OVState.hpp"
#include "orvane/widget/OVWidgetManager.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/AlertController.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"
#include "platform/ui/input/TapGestureRecognizer.hpp"
#include "platform/ui/input/Touch.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/View.hpp"
#include "platform/ui/views/Window.hpp"

namespace orvane {

using platform::core::RunLoop;
using platform::graphics::AffineTransform;
using platform::ui::LayoutConstraint;
using platform::ui::PageViewControllerNavigationDirection;
using platform::ui::View;
using platform::ui::ViewAnimationCurve;
using platform::ui::ViewAnimationOptions;
using platform::ui::ViewController;

namespace {
// How long after paging from a side screen that screen is popped to its root.
constexpr double popToRootDelay = 0.4;
constexpr double footerPlayerSlideDuration = 0.3;
constexpr double popupSpringDuration = 0.6;
constexpr double popupSpringDamping = 0.55;
constexpr double popupSpringVelocity = 1.0;
constexpr double popupStay = 2.0;
constexpr double popupSlideBackDuration = 0.3;
constexpr double popupGapAboveFooter = 20;
constexpr int mainScreenIndex = 1;
}  // namespace

std::shared_ptr<OVFanViewController> OVFanViewController::create() {
    auto fan = std::make_shared<OVFanViewController>(ConstructorKey{});
    fan->becomeScrollViewDelegate();
    return fan;
}

void OVFanViewController::registerStoryboard() {
    platform::ui::NibRegistry::shared().registerStoryboard("OVStoryboard",
                                                           {{"OVFanViewController",
                                                             [](platform::ui::NibBuild& build) {
                                                                 build.add(OVFanViewController::create());
                                                                 return true;
                                                             }}},
                                                           "OVFanViewController");
}

OVFanViewController::OVFanViewController(ConstructorKey key) : OVPageViewController(key) {
    setPreferredStatusBarStyle(platform::ui::StatusBarStyle::lightContent);
}

OVFanViewController::~OVFanViewController() = default;

std::shared_ptr<OVFanViewController> OVFanViewController::self() {
    return std::static_pointer_cast<OVFanViewController>(shared_from_this());
}

// ---- Set-up ----

void OVFanViewController::initialize(const std::shared_ptr<OVCoordinator>& coordinator) {
    coordinator_ = coordinator;
    const auto me = self();
    interactor_ = std::make_shared<OVFanVCInteractor>(std::static_pointer_cast<OVFanVCInput>(me));
    // Popups are shown only once their theme and main colour are known:
    // the one theme, and the widget's colour as it stands (plain blue
    // before any state).
    interactor_->setTheme(OVTheme::light);
    const auto& state = OVWidgetManager::shared().lastState();
    interactor_->setMainColor(state ? state->mainColor() : OVState().mainColor());
    setModalPresentationStyle(platform::ui::ModalPresentationStyle::custom);
    setTransitioningDelegate(std::static_pointer_cast<platform::ui::ViewControllerTransitioningDelegate>(me));
    setModalPresentationCapturesStatusBarAppearance(true);
    setDataSource(interactor_);
    setDelegate(std::static_pointer_cast<platform::ui::PageViewControllerDelegate>(me));
    if (coordinator) setFooterPlayer(coordinator, me);
    initializeScreens();
}

void OVFanViewController::initializeScreens() {
    const auto coordinator = coordinator_.lock();
    if (!coordinator) {
        platform::core::debugPrint("OVFanViewController: no coordinator to build the screens for");
        return;
    }
    const auto pageCoordinator = std::static_pointer_cast<OVPageCoordinator>(coordinator);
    const auto library = OVPage::create<OVLibraryPage>(pageCoordinator);
    const auto main = OVPage::create<OVMainPage>(pageCoordinator);
    const auto discover = OVPage::create<OVDiscoverPage>(pageCoordinator);
    // A screen loads its root page's view as it is made, and the main page
    // reads its side buttons when its view loads: it learns of both side
    // screens before its screen exists.
    main->setNavigationBarButtonIsDisplayed({.left = true, .right = true});
    std::vector<std::shared_ptr<OVScreen>> screens;
    for (const std::shared_ptr<OVPage>& page : {std::static_pointer_cast<OVPage>(library),
                                                std::static_pointer_cast<OVPage>(main),
                                                std::static_pointer_cast<OVPage>(discover)})
        screens.push_back(OVScreen::create(page));
    const auto me = std::static_pointer_cast<platform::ui::NavigationControllerDelegate>(self());
    for (const auto& screen : screens) screen->setDelegate(me);
    setNumberOfScreens(static_cast<int>(screens.size()));
    setViewControllers({screens[mainScreenIndex]}, PageViewControllerNavigationDirection::forward, false);
    setCurrentPageIndex(mainScreenIndex);
    interactor_->update(std::move(screens));
}

// ---- Properties ----

void OVFanViewController::setIsSwipable(bool swipable) {
    if (swipable == isSwipable_) return;
    isSwipable_ = swipable;
    setIsScrollEnable(*this, swipable);
}

std::shared_ptr<OVScreen> OVFanViewController::currentScreen() const {
    const auto& shown = viewControllers();
    return shown.empty() ? nullptr : std::dynamic_pointer_cast<OVScreen>(shown.front());
}

std::shared_ptr<OVPage> OVFanViewController::currentPage() const {
    const auto screen = currentScreen();
    return screen ? std::dynamic_pointer_cast<OVPage>(screen->visibleViewController()) : nullptr;
}

std::shared_ptr<OVMainPage> OVFanViewController::mainPage() const {
    return std::dynamic_pointer_cast<OVMainPage>(currentPage());
}

std::shared_ptr<LayoutConstraint> OVFanViewController::ratioConstraint() const {
    const auto main = mainPage();
    return main ? main->ratioConstraint() : nullptr;
}

// ---- Actions ----

void OVFanViewController::dismiss() {
    if (presentationTransitioning_) presentationTransitioning_->dismiss();
    OVWidgetManager::shared().send(OVWidgetManager::SDKTracking::swipeDown);
}

void OVFanViewController::presentQuitAlertViewController(std::function<void()> withQuitHandler) {
    using platform::ui::AlertAction;
    using platform::ui::AlertActionStyle;
    auto sheet = platform::ui::AlertController::create(localized("QUIT_ACTION_SHEET_TITLE"), std::nullopt,
                                                       platform::ui::AlertControllerStyle::actionSheet);
    sheet->addAction({localized("QUIT_ACTION_SHEET_KEEP_PLAYING"), AlertActionStyle::defaultStyle, {}});
    sheet->addAction({localized("QUIT_ACTION_SHEET_QUIT"), AlertActionStyle::destructive,
                      [handler = std::move(withQuitHandler)](const AlertAction&) {
                          if (handler) handler();
                      }});
    sheet->addAction({localized("CANCEL"), AlertActionStyle::cancel, {}});
    // At regular width the sheet shows as a popover, which needs an anchor.
    if (horizontalSizeClass() == platform::ui::UserInterfaceSizeClass::regular) {
        const auto container = view();
        sheet->popoverAnchor().sourceView = container;
        sheet->popoverAnchor().sourceRect = container->bounds();
    }
    present(sheet, true);
}

// ---- Footer player ----

void OVFanViewController::setFooterPlayer(const std::shared_ptr<OVCoordinator>& /*coordinator*/,
                                          const std::shared_ptr<OVFanViewController>& /*fan*/) {
    auto footer = platform::ui::NibRegistry::shared().instantiateFirst<OVFooterPlayer>("OVFooterPlayer");
    if (!footer) return;
    footerPlayer_ = footer;
    footer->setDelegate(std::static_pointer_cast<OVFooterPlayerDelegate>(self()));
    footer->setTranslatesAutoresizingMaskIntoConstraints(false);
    const auto container = view();
    container->addSubview(footer);
    LayoutConstraint::activate({footer->heightAnchor().constraintEqualToConstant(footerPlayerHeight),
                                footer->leftAnchor().constraintEqualTo(container->leftAnchor()),
                                footer->rightAnchor().constraintEqualTo(container->rightAnchor())});
    footer->setHidden(true);
}

void OVFanViewController::prepareFooterPlayerPresentationIfNeeded() {
    if (footerIsReady_) return;
    footerIsReady_ = true;
    if (!footerPlayer_) return;
    footerPlayerTopConstraint_ = footerPlayer_->topAnchor().constraintEqualTo(view()->bottomAnchor());
    footerPlayerTopConstraint_->setActive(true);
    footerPlayer_->setHidden(false);
}

void OVFanViewController::updateFooterPlayerDisplay(bool display) {
    if (display == footerPlyerIsDisplayed_) return;
    footerPlyerIsDisplayed_ = display;
    std::weak_ptr<OVFanViewController> weak = self();
    RunLoop::main().async([weak, display] {
        const auto me = weak.lock();
        if (!me) return;
        if (display) me->prepareFooterPlayerPresentationIfNeeded();
        if (me->footerPlayerTopConstraint_) {
            me->footerPlayerTopConstraint_->setConstant(display ? footerPlayerDisplayedOffset
                                                                : footerPlayerHiddenOffset);
        }
        const auto container = me->view();
        View::animate(footerPlayerSlideDuration, 0, ViewAnimationOptions{.curve = ViewAnimationCurve::easeOut},
                      [container] { container->layoutIfNeeded(); });
    });
}

// ---- Paging ----

void OVFanViewController::swipe(PageViewControllerNavigationDirection withDirection) {
    const auto& shown = viewControllers();
    if (shown.empty()) return;
    const auto current = shown.front();
    const auto source = dataSource();
    if (!source) return;
    const auto neighbour = withDirection == PageViewControllerNavigationDirection::forward
                               ? source->viewControllerAfter(*this, current)
                               : source->viewControllerBefore(*this, current);
    if (!neighbour) return;
    // Code that sets the page hears nothing from the page view controller:
    // the same calls as a listener's paging keep the indices and the footer
    // in step with the screen now shown, the last once it has slid in.
    willTransitionTo(*this, {neighbour});
    std::weak_ptr<OVFanViewController> weak = self();
    setViewControllers({neighbour}, withDirection, true, [weak, current](bool finished) {
        if (const auto me = weak.lock()) me->didFinishAnimating(*me, finished, {current}, true);
    });
}

void OVFanViewController::scrollToTopAndPopToRoot(const std::shared_ptr<OVScreen>& screen, bool animated) {
    if (!screen) return;
    const auto pages = screen->pages();
    if (!pages.empty()) {
        if (const auto& table = pages.front()->tableView()) {
            table->beginUpdates();
            table->setContentOffset({0, 0});
            (void)table->endUpdates();
        }
    }
    screen->popToRoot(animated);
}

void OVFanViewController::moveToMainPage() {
    if (!interactor_) return;
    const auto index = interactor_->currentScreenIndex();
    if (!index) return;
    const auto& screens = interactor_->screens();
    if (*index == mainScreenIndex) {
        scrollToTopAndPopToRoot(currentScreen(), true);
        return;
    }
    if (screens.size() <= static_cast<std::size_t>(mainScreenIndex)) return;
    const auto direction = *index == 0 ? PageViewControllerNavigationDirection::forward
                                       : PageViewControllerNavigationDirection::reverse;
    const std::shared_ptr<ViewController> previous =
        *index >= 0 && static_cast<std::size_t>(*index) < screens.size() ? screens[static_cast<std::size_t>(*index)]
                                                                          : nullptr;
    const auto main = screens[mainScreenIndex];
    if (const auto page = main->currentPage()) {
        if (const auto& table = page->tableView()) table->setContentOffset({0, 0});
    }
    willTransitionTo(*this, {main});
    std::weak_ptr<OVFanViewController> weak = self();
    setViewControllers({main}, direction, true, [weak, previous](bool finished) {
        const auto me = weak.lock();
        if (!me) return;
        std::vector<std::shared_ptr<ViewController>> before;
        if (previous) before.push_back(previous);
        me->didFinishAnimating(*me, finished, before, true);
    });
}

void OVFanViewController::popToRootAndMoveToMainPage() {
    if (!interactor_) return;
    const auto index = interactor_->currentScreenIndex();
    if (!index) return;
    moveToMainPage();
    if (*index == mainScreenIndex) return;
    std::weak_ptr<OVFanViewController> weak = self();
    RunLoop::main().asyncAfter(popToRootDelay, [weak] {
        if (const auto me = weak.lock()) scrollToTopAndPopToRoot(me->currentScreen(), false);
    });
}

void OVFanViewController::scrollViewIsBouncing(double withOffset) {
    if (footerPlayer_) footerPlayer_->setTransform(AffineTransform::translation(withOffset, 0));
}

void OVFanViewController::downloadStatusDidChange(const std::shared_ptr<OVTrack>& forTrack,
                                                  const OVTrack::DownloadStatus& to) {
    if (!interactor_) return;
    const auto& screens = interactor_->screens();
    if (screens.size() <= static_cast<std::size_t>(mainScreenIndex)) return;
    const auto pages = screens[mainScreenIndex]->pages();
    if (pages.empty()) return;
    if (const auto main = std::dynamic_pointer_cast<OVMainPage>(pages.front()))
        main->downloadStatusDidChange(forTrack, to);
}

// ---- Popups ----

void OVFanViewController::displayPopup(const platform::ui::AttributedString& withAttributedString) {
    if (interactor_) interactor_->displayPopup(withAttributedString);
}

void OVFanViewController::present(const std::shared_ptr<OVPopup>& popup) {
    if (!popup) return;
    const auto container = view();
    popup->setAlpha(0);
    // Behind the footer player, which covers it at rest; without one the
    // container's bottom edge stands in for the footer's top.
    if (footerPlayer_ && footerPlayer_->superview() == container) {
        container->insertSubviewBelow(popup, footerPlayer_);
    } else {
        container->addSubview(popup);
    }
    const auto edge = footerPlayer_ && footerPlayer_->superview() == container ? footerPlayer_->topAnchor()
                                                                                : container->bottomAnchor();
    popup->centerXAnchor().constraintEqualTo(container->centerXAnchor())->setActive(true);
    const auto top = popup->topAnchor().constraintEqualTo(edge);
    const auto bottom = popup->bottomAnchor().constraintEqualTo(edge, -popupGapAboveFooter);
    top->setActive(true);
    container->layoutIfNeeded();
    popup->setAlpha(1.0);
    top->setActive(false);
    bottom->setActive(true);
    const auto me = self();
    View::animate(popupSpringDuration, 0, popupSpringDamping, popupSpringVelocity,
                  ViewAnimationOptions{.curve = ViewAnimationCurve::easeOut, .allowUserInteraction = true},
                  [container] { container->layoutIfNeeded(); },
                  [me, popup, top, bottom](bool) {
                      RunLoop::main().async([me, popup, top, bottom] { me->dismiss(popup, top, bottom); });
                  });
}

void OVFanViewController::dismiss(const std::shared_ptr<OVPopup>& popup,
                                  const std::shared_ptr<LayoutConstraint>& withTopConstraint,
                                  const std::shared_ptr<LayoutConstraint>& andBottomConstraint) {
    andBottomConstraint->setActive(false);
    withTopConstraint->setActive(true);
    const auto container = view();
    View::animate(popupSlideBackDuration, popupStay,
                  ViewAnimationOptions{.curve = ViewAnimationCurve::easeOut, .allowUserInteraction = true},
                  [container] { container->layoutIfNeeded(); }, [popup](bool) { popup->removeFromSuperview(); });
}

// ---- Footer player's taps ----

void OVFanViewController::didTapFooterPlayer() { moveToMainPage(); }

void OVFanViewController::didTapPlay() {
    if (const auto c = coordinator_.lock()) c->didTapPlay();
}

void OVFanViewController::didTapPause() {
    if (const auto c = coordinator_.lock()) c->didTapPause();
}

// ---- Presentation hooks ----

std::optional<OVTheme> OVFanViewController::theme() const { return OVMock::Data::shared().theme(); }

void OVFanViewController::controllerViewWasAddedToContainer(platform::ui::LayoutGuide& /*withSafeGuide*/) {}

void OVFanViewController::closeTapGestureRecognizerWasSet(
    const std::shared_ptr<platform::ui::TapGestureRecognizer>& tapGestureRecognizer) {
    closeTapGR_ = tapGestureRecognizer;
}

void OVFanViewController::presentationAnimationWillStart() {
    if (const auto page = currentPage()) page->presentationAnimationWillStart();
}

void OVFanViewController::expandingPanGestureRecognizerWasSet(
    const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) {
    expandingPanGR_ = panGestureRecognizer;
}

void OVFanViewController::dismissPanGestureRecognizerWasSet(
    const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) {
    dismissPanGR_ = panGestureRecognizer;
}

void OVFanViewController::stateDidChange(OVCompactDisplayState from, OVCompactDisplayState to) {
    switch (to) {
        case OVCompactDisplayState::preview: setIsSwipable(false); break;
        case OVCompactDisplayState::fullScreen: {
            if (from == OVCompactDisplayState::preview || from == OVCompactDisplayState::expanding) {
                setIsSwipable(true);
                if (const auto pan = dismissPanGR_.lock()) pan->setEnabled(true);
                OVWidgetManager::shared().send(OVWidgetManager::SDKTracking::fullScreen);
            }
            const auto page = currentPage();
            if (page && page->pageDisplaysFoterPlayer()) updateFooterPlayerDisplay(true);
            break;
        }
        case OVCompactDisplayState::dismissing: updateFooterPlayerDisplay(false); break;
        default: break;
    }
    if (const auto page = currentPage()) page->stateDidChange(rawValue(to));
}

OVCompactTransitionPropertyList OVFanViewController::transitionProperties() {
    std::shared_ptr<View> bar;
    if (const auto main = mainPage()) {
        if (const auto navigation = main->navigationController()) bar = navigation->navigationBar();
    }
    return {OVCompactTransitionProperty::NavigationBarDisplay::create(bar)};
}

std::shared_ptr<View> OVFanViewController::preview() {
    const auto main = mainPage();
    return main ? main->preview() : nullptr;
}

void OVFanViewController::setImageRatio(double ratio, bool withoutAnimation) {
    if (const auto main = mainPage()) main->setImageRatio(ratio, withoutAnimation);
}

bool OVFanViewController::shouldStartShrink() {
    const auto page = currentPage();
    if (!page || !page->tableView()) return false;
    const auto& table = page->tableView();
    return table->contentOffset().y + table->contentInset().top <= 0;
}

void OVFanViewController::isShrinking(double withRelativePosition) {
    if (withRelativePosition < footerPlayerShrinkThreshold) updateFooterPlayerDisplay(false);
}

void OVFanViewController::stateDidChange(OVRegularDisplayState /*toValue*/) {}

void OVFanViewController::dismissGestureRecognizerWasSetForRegularDisplay(
    const std::shared_ptr<platform::ui::PanGestureRecognizer>& panGestureRecognizer) {
    dismissPanGRForRegularDisplay_ = panGestureRecognizer;
}

std::shared_ptr<platform::ui::AnimatedTransitioning> OVFanViewController::animationControllerForPresented(
    const std::shared_ptr<ViewController>& /*presented*/, const std::shared_ptr<ViewController>& /*presenting*/,
    const std::shared_ptr<ViewController>& /*source*/) {
    return presentationTransitioning_;
}

// ---- Gesture rules ----

bool OVFanViewController::gestureRecognizerShouldReceive(platform::ui::GestureRecognizer& recognizer,
                                                         const platform::ui::Touch& touch) {
    const auto close = closeTapGR_.lock();
    if (!close || close.get() != &recognizer) return true;
    const auto container = view();
    return !container->bounds().contains(touch.location(container.get()));
}

bool OVFanViewController::gestureRecognizerShouldBegin(platform::ui::GestureRecognizer& recognizer) {
    const bool isPan = [&] {
        for (const auto& pan : {expandingPanGR_.lock(), dismissPanGR_.lock(), dismissPanGRForRegularDisplay_.lock()})
            if (pan && pan.get() == &recognizer) return true;
        return false;
    }();
    if (!isPan) return true;
    const auto page = currentPage();
    if (!page || !page->tableView()) return true;
    for (const auto& cell : page->tableView()->visibleCells()) {
        const auto selective = std::dynamic_pointer_cast<OVViewShouldAcceptTouch>(cell);
        if (!selective) continue;
        if (!selective->accept(recognizer.location(cell.get()), recognizer)) return false;
    }
    return true;
}

bool OVFanViewController::gestureRecognizerShouldRecognizeSimultaneously(platform::ui::GestureRecognizer& recognizer,
                                                                         platform::ui::GestureRecognizer& other) {
    const auto dismissPan = dismissPanGR_.lock();
    if (!dismissPan) return false;
    const auto page = currentPage();
    if (!page || !page->tableView()) return false;
    const auto table = std::static_pointer_cast<View>(page->tableView());
    auto isTable = [&](platform::ui::GestureRecognizer& r) { return r.view() == table; };
    return (&recognizer == dismissPan.get() && isTable(other)) || (&other == dismissPan.get() && isTable(recognizer));
}

// ---- Following the shown screen and page ----

void OVFanViewController::willTransitionTo(platform::ui::PageViewController& /*pageViewController*/,
                                           const std::vector<std::shared_ptr<ViewController>>& pending) {
    if (pending.empty()) return;
    const auto screen = std::dynamic_pointer_cast<OVScreen>(pending.front());
    if (screen && std::dynamic_pointer_cast<OVMainPage>(screen->currentPage())) updateFooterPlayerDisplay(false);
}

void OVFanViewController::didFinishAnimating(platform::ui::PageViewController& /*pageViewController*/,
                                             bool /*finished*/,
                                             const std::vector<std::shared_ptr<ViewController>>& /*previous*/,
                                             bool /*transitionCompleted*/) {
    const auto screen = currentScreen();
    const auto page = screen ? screen->currentPage() : nullptr;
    if (!screen || !page || !interactor_) return;
    interactor_->didTransition(screen);
    setCurrentPageIndex(interactor_->currentScreenIndex());
    updateFooterPlayerDisplay(page->pageDisplaysFoterPlayer());
}

void OVFanViewController::willShow(const std::shared_ptr<platform::ui::NavigationController>& /*navigationController*/,
                                   const std::shared_ptr<ViewController>& viewController, bool /*animated*/) {
    if (std::dynamic_pointer_cast<OVMainPage>(viewController)) updateFooterPlayerDisplay(false);
}

void OVFanViewController::didShow(const std::shared_ptr<platform::ui::NavigationController>& navigationController,
                                  const std::shared_ptr<ViewController>& viewController, bool /*animated*/) {
    if (const auto screen = std::dynamic_pointer_cast<OVScreen>(navigationController)) {
        if (const auto page = screen->currentPage()) updateFooterPlayerDisplay(page->pageDisplaysFoterPlayer());
    }
    const auto& stack = navigationController->viewControllers();
    setIsSwipable(!stack.empty() && stack.front() == viewController);
}

void OVFanViewController::loadView() {
    OVPageViewController::loadView();
    const auto& root = viewIfLoaded();
    if (!root) return;
    if (const auto window = platform::ui::Application::shared().keyWindow()) root->setFrame(window->bounds());
    root->setAutoresizingMask(platform::ui::AutoresizingMask::flexibleWidth |
                              platform::ui::AutoresizingMask::flexibleHeight);
}

void OVFanViewController::viewWillAppear(bool animated) {
    OVPageViewController::viewWillAppear(animated);
    prepareFooterPlayerPresentationIfNeeded();
}

}  // namespace orvane
