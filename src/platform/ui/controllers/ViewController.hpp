// A view controller: owns one view, made lazily on first access (`loadView`
// then `viewDidLoad`, once), told when its view appears and disappears,
// contained in a parent (containment calls) and presenting one controller
// modally at a time, full screen or through a custom transition that a
// transitioning delegate's animator runs in a transition context.
//
// Made through `create()` and owned through shared_ptr; a subclass takes the
// `ConstructorKey` in its public constructor. Parents hold their children
// strongly, a presenting controller holds its presented one strongly, the
// back links are weak. Main thread only.
#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/ui/controllers/TransitionContext.hpp"
#include "platform/ui/views/View.hpp"

namespace platform::ui {

class NavigationController;
class NavigationItem;
class Window;

enum class UserInterfaceSizeClass { unspecified, compact, regular };
enum class ModalPresentationStyle { fullScreen, custom };
enum class StatusBarStyle { defaultStyle, lightContent, darkContent };
enum class StatusBarAnimation { none, fade, slide };

// The width from which a window's horizontal size class is regular.
inline constexpr double regularWidthThreshold = 600;

// Gives the animators of a controller's presentation and dismissal; no
// animator means the kit's own transition.
class ViewControllerTransitioningDelegate {
public:
    virtual ~ViewControllerTransitioningDelegate() = default;
    virtual std::shared_ptr<AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<ViewController>& /*presented*/, const std::shared_ptr<ViewController>& /*presenting*/,
        const std::shared_ptr<ViewController>& /*source*/) {
        return nullptr;
    }
    virtual std::shared_ptr<AnimatedTransitioning> animationControllerForDismissed(
        const std::shared_ptr<ViewController>& /*dismissed*/) {
        return nullptr;
    }
};

class ViewController : public std::enable_shared_from_this<ViewController> {
protected:
    struct ConstructorKey {
        explicit ConstructorKey() = default;
    };

public:
    static std::shared_ptr<ViewController> create();
    explicit ViewController(ConstructorKey);
    virtual ~ViewController();
    ViewController(const ViewController&) = delete;
    ViewController& operator=(const ViewController&) = delete;

    // ---- The view ----
    // Loads the view on first access.
    std::shared_ptr<View> view();
    const std::shared_ptr<View>& viewIfLoaded() const { return view_; }
    bool isViewLoaded() const { return view_ != nullptr; }
    // Replaces the view (null unloads it: the next access loads again).
    void setView(std::shared_ptr<View> view);
    // Makes the view; the default makes a plain view. Calls `setView`.
    virtual void loadView();
    virtual void viewDidLoad() {}
    // Told once a nib or storyboard that made this controller has connected
    // its outlets.
    virtual void awakeFromNib() {}

    // ---- Appearance ----
    virtual void viewWillAppear(bool /*animated*/) {}
    virtual void viewDidAppear(bool /*animated*/) {}
    virtual void viewWillDisappear(bool /*animated*/) {}
    virtual void viewDidDisappear(bool /*animated*/) {}
    // Runs the callbacks and keeps track of the appearance state; used by
    // containers and windows.
    void beginAppearanceTransition(bool isAppearing, bool animated);
    void endAppearanceTransition();
    bool isAppeared() const { return appearance_ == Appearance::appeared; }

    // ---- Title and navigation item ----
    const std::string& title() const { return title_; }
    void setTitle(std::string title);
    // Made on first access.
    const std::shared_ptr<NavigationItem>& navigationItem();
    // The nearest navigation controller among this controller's ancestors.
    std::shared_ptr<NavigationController> navigationController() const;

    // ---- Containment ----
    std::shared_ptr<ViewController> parent() const { return parent_.lock(); }
    const std::vector<std::shared_ptr<ViewController>>& children() const { return children_; }
    // Calls `willMove(toParent: this)` on `child` (which first leaves its
    // former parent); the caller adds the view and calls `didMove`.
    void addChild(const std::shared_ptr<ViewController>& child);
    // Calls `didMove(toParent: null)`; the caller calls `willMove(null)`
    // first and removes the view.
    void removeFromParent();
    virtual void willMove(const std::shared_ptr<ViewController>& /*parent*/) {}
    virtual void didMove(const std::shared_ptr<ViewController>& /*parent*/) {}

    // ---- Traits ----
    // Regular when the window holding the view (or the view of a parent or
    // presenting controller) is at least 600 points wide, compact when
    // narrower, unspecified without a window; unless overridden.
    UserInterfaceSizeClass horizontalSizeClass() const;
    void overrideHorizontalSizeClass(std::optional<UserInterfaceSizeClass> sizeClass) {
        sizeClassOverride_ = sizeClass;
    }
    // The window this controller's view, or its parent's or presenter's, is in.
    std::shared_ptr<Window> window() const;

    // ---- Status bar ----
    StatusBarStyle preferredStatusBarStyle() const { return statusBarStyle_; }
    void setPreferredStatusBarStyle(StatusBarStyle style) { statusBarStyle_ = style; }
    bool prefersStatusBarHidden() const { return statusBarHidden_; }
    void setPrefersStatusBarHidden(bool hidden) { statusBarHidden_ = hidden; }
    StatusBarAnimation preferredStatusBarUpdateAnimation() const { return statusBarAnimation_; }
    void setPreferredStatusBarUpdateAnimation(StatusBarAnimation animation) { statusBarAnimation_ = animation; }
    bool modalPresentationCapturesStatusBarAppearance() const { return capturesStatusBar_; }
    void setModalPresentationCapturesStatusBarAppearance(bool value) { capturesStatusBar_ = value; }
    void setNeedsStatusBarAppearanceUpdate() { ++statusBarUpdates_; }
    int statusBarAppearanceUpdateCount() const { return statusBarUpdates_; }

    // ---- Presentation ----
    ModalPresentationStyle modalPresentationStyle() const { return presentationStyle_; }
    void setModalPresentationStyle(ModalPresentationStyle style) { presentationStyle_ = style; }
    std::shared_ptr<ViewControllerTransitioningDelegate> transitioningDelegate() const {
        return transitioningDelegate_.lock();
    }
    void setTransitioningDelegate(const std::shared_ptr<ViewControllerTransitioningDelegate>& delegate) {
        transitioningDelegate_ = delegate;
    }
    std::shared_ptr<ViewController> presentedViewController() const { return presented_; }
    std::shared_ptr<ViewController> presentingViewController() const { return presenting_.lock(); }
    bool isBeingPresented() const { return beingPresented_; }
    bool isBeingDismissed() const { return beingDismissed_; }

    // Presents `controller` over this one. Refused (false, with a debug line,
    // completion not run) while this controller presents one or a transition
    // is in flight, when `controller` is already presented or is this one,
    // or when this controller's view is in no window. `completion` runs when
    // the presentation completes.
    virtual bool present(const std::shared_ptr<ViewController>& controller, bool animated,
                         std::function<void()> completion = {});
    // Dismisses the controller this one presents or, without one, this one
    // when it is presented. Nothing (false) when nothing is presented or a
    // transition is in flight.
    virtual bool dismiss(bool animated, std::function<void()> completion = {});

protected:
    // Why this controller cannot be presented by `presenter` now, or none.
    virtual std::optional<std::string> presentationRefusal(const ViewController& /*presenter*/) const {
        return std::nullopt;
    }
    // Where a presentation's container goes: the root of the presenting view.
    std::shared_ptr<View> presentationHost() const;
    // The override of this controller or, without one, of the nearest
    // parent or presenting controller that has one.
    std::optional<UserInterfaceSizeClass> sizeClassOverride() const;

private:
    enum class Appearance { disappeared, appearing, appeared, disappearing };
    void finishPresentation(const std::shared_ptr<ViewController>& presented, bool completed, bool animated,
                            const std::function<void()>& completion);
    void finishDismissal(const std::shared_ptr<ViewController>& presented, bool completed, bool animated,
                         const std::function<void()>& completion);
    bool transitionInFlight() const;
    void hidePresenterView();
    void setWindowInteraction(bool ignoring);

    std::shared_ptr<View> view_;
    std::string title_;
    std::shared_ptr<NavigationItem> navigationItem_;
    std::weak_ptr<ViewController> parent_;
    std::vector<std::shared_ptr<ViewController>> children_;
    std::optional<UserInterfaceSizeClass> sizeClassOverride_;
    Appearance appearance_ = Appearance::disappeared;
    bool appearanceAnimated_ = false;

    StatusBarStyle statusBarStyle_ = StatusBarStyle::defaultStyle;
    bool statusBarHidden_ = false;
    StatusBarAnimation statusBarAnimation_ = StatusBarAnimation::fade;
    bool capturesStatusBar_ = false;
    int statusBarUpdates_ = 0;

    ModalPresentationStyle presentationStyle_ = ModalPresentationStyle::fullScreen;
    std::weak_ptr<ViewControllerTransitioningDelegate> transitioningDelegate_;
    std::shared_ptr<ViewController> presented_;
    std::weak_ptr<ViewController> presenting_;
    // The view the presentation runs in, above the presenting view.
    std::shared_ptr<View> presentationContainer_;
    // A full-screen presentation takes the presenting view out of the
    // hierarchy while it shows; it goes back where it was on dismissal.
    std::weak_ptr<View> hiddenPresenterSuperview_;
    std::weak_ptr<View> hiddenPresenterView_;
    std::size_t hiddenPresenterIndex_ = 0;
    std::shared_ptr<TransitionContext> transition_;
    std::weak_ptr<Window> interactionWindow_;
    bool beingPresented_ = false;
    bool beingDismissed_ = false;
};

}  // namespace platform::ui
