// A navigation controller: a stack of controllers of which the top one's
// view shows under a navigation bar; push, pop, pop to root and a whole new
// stack, each with the animated flag. A weak delegate is told before and
// after a controller shows and may give the animator of a push or a pop,
// which runs in a transition context whose container is the controller's
// content view. The stack holds its controllers strongly (as children).
// Main thread only.
#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "platform/graphics/Image.hpp"
#include "platform/ui/controllers/NavigationItem.hpp"
#include "platform/ui/controllers/ViewController.hpp"

namespace platform::ui {

enum class NavigationControllerOperation { none, push, pop };

class NavigationController;

class NavigationControllerDelegate {
public:
    virtual ~NavigationControllerDelegate() = default;
    virtual void willShow(const std::shared_ptr<NavigationController>& /*navigationController*/,
                          const std::shared_ptr<ViewController>& /*viewController*/, bool /*animated*/) {}
    virtual void didShow(const std::shared_ptr<NavigationController>& /*navigationController*/,
                         const std::shared_ptr<ViewController>& /*viewController*/, bool /*animated*/) {}
    // The animator of a push or a pop; none means the kit's own transition.
    virtual std::shared_ptr<AnimatedTransitioning> animationControllerFor(
        const std::shared_ptr<NavigationController>& /*navigationController*/,
        NavigationControllerOperation /*operation*/, const std::shared_ptr<ViewController>& /*from*/,
        const std::shared_ptr<ViewController>& /*to*/) {
        return nullptr;
    }
};

// The bar across the top of a navigation controller's view: its background
// image fills it, its shadow image runs under its bottom edge, and it shows
// the top controller's navigation item.
class Label;

class NavigationBar : public View {
public:
    static constexpr double height = 44;
    static std::shared_ptr<NavigationBar> create(const Rect& frame = {});
    NavigationBar(ConstructorKey key, const Rect& frame);

    const std::optional<Image>& backgroundImage() const { return backgroundImage_; }
    void setBackgroundImage(std::optional<Image> image);
    const std::optional<Image>& shadowImage() const { return shadowImage_; }
    void setShadowImage(std::optional<Image> image);
    bool isTranslucent() const { return translucent_; }
    void setTranslucent(bool translucent) { translucent_ = translucent; }
    // The item shown: the top controller's. At each layout the bar shows
    // its title (or title view) centred, and the custom views of its first
    // left and first right bar button items at the edges, each as large as
    // its frame, else its button's image, else 44 points square.
    std::shared_ptr<NavigationItem> topItem() const { return topItem_.lock(); }
    void setTopItem(const std::shared_ptr<NavigationItem>& item);
    // The label of an item's title, once one was shown.
    const std::shared_ptr<Label>& titleLabel() const { return titleLabel_; }

    void layoutSubviews() override;

private:
    void layoutItem();

    std::optional<Image> backgroundImage_;
    std::optional<Image> shadowImage_;
    std::shared_ptr<View> shadowView_;
    std::weak_ptr<NavigationItem> topItem_;
    bool translucent_ = true;
    std::shared_ptr<Label> titleLabel_;
    std::vector<std::shared_ptr<View>> itemViews_;
};

class NavigationController : public ViewController {
public:
    static std::shared_ptr<NavigationController> create(std::shared_ptr<ViewController> root = nullptr);
    explicit NavigationController(ConstructorKey key);

    const std::vector<std::shared_ptr<ViewController>>& viewControllers() const { return stack_; }
    std::shared_ptr<ViewController> topViewController() const { return stack_.empty() ? nullptr : stack_.back(); }
    // The top controller, or what it presents.
    std::shared_ptr<ViewController> visibleViewController() const;

    // Each refuses (false / none, with a debug line) while a transition is
    // in flight; push refuses a controller already on a stack or contained.
    bool setViewControllers(std::vector<std::shared_ptr<ViewController>> controllers, bool animated);
    bool push(const std::shared_ptr<ViewController>& controller, bool animated);
    // The controller popped; none at the root.
    std::shared_ptr<ViewController> pop(bool animated);
    // The controllers popped, bottom first; none at the root.
    std::vector<std::shared_ptr<ViewController>> popToRoot(bool animated);

    std::shared_ptr<NavigationControllerDelegate> delegate() const { return delegate_.lock(); }
    void setDelegate(const std::shared_ptr<NavigationControllerDelegate>& delegate) { delegate_ = delegate; }

    // Made with the view.
    std::shared_ptr<NavigationBar> navigationBar();
    bool isNavigationBarHidden() const { return barHidden_; }
    void setNavigationBarHidden(bool hidden, bool animated);
    // Where the top controller's view goes (and a transition's container).
    std::shared_ptr<View> contentView();

    void loadView() override;
    void viewWillAppear(bool animated) override;
    void viewDidAppear(bool animated) override;
    void viewWillDisappear(bool animated) override;
    void viewDidDisappear(bool animated) override;

private:
    bool transition(std::vector<std::shared_ptr<ViewController>> stack, NavigationControllerOperation operation,
                    bool animated);
    void layoutContent();
    bool inFlight() const { return transition_ && !transition_->isCompleted(); }

    std::vector<std::shared_ptr<ViewController>> stack_;
    std::weak_ptr<NavigationControllerDelegate> delegate_;
    std::shared_ptr<NavigationBar> bar_;
    std::shared_ptr<View> content_;
    std::shared_ptr<TransitionContext> transition_;
    bool barHidden_ = false;
};

}  // namespace platform::ui
