// What the presentation tests share: a delegate that counts the listener's
// requests, a host window that presents a controller through an animator,
// and a presentable controller of our own that adopts the three
// presentable protocols as the root container does and records every call
// the animators make on it (in order). As the recognisers' delegate it lets
// the close tap take only touches outside its own view's bounds.
#pragma once

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "orvane/presentation/OVCompactPresentableViewController.hpp"
#include "orvane/presentation/OVOpenCloseExpandDelegate.hpp"
#include "orvane/presentation/OVRegularPresentableViewController.hpp"
#include "orvane/presentation/OVVCPresentationTransitioningProtocol.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/graphics/Color.hpp"
#include "platform/ui/controllers/ViewController.hpp"
#include "platform/ui/input/TapGestureRecognizer.hpp"
#include "platform/ui/input/Touch.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Window.hpp"

namespace presentation_test {

struct CountingDelegate : orvane::OVOpenCloseExpandDelegate {
    int close = 0, swipeDown = 0, openExpand = 0;
    void didTapClose() override { ++close; }
    void didTapSwipeDown() override { ++swipeDown; }
    void didTapOpenExapnd() override { ++openExpand; }
};

class RecordingPresentable : public platform::ui::ViewController,
                             public orvane::OVCompactPresentableViewController,
                             public orvane::OVRegularPresentableViewController {
public:
    static std::shared_ptr<RecordingPresentable> create(platform::graphics::Rect viewFrame = {}) {
        auto vc = std::make_shared<RecordingPresentable>(ConstructorKey{});
        vc->viewFrame_ = viewFrame;
        return vc;
    }
    explicit RecordingPresentable(ConstructorKey key) : ViewController(key) {}

    std::vector<std::string> log;
    std::vector<orvane::OVRegularDisplayState> regularStates;
    std::optional<std::pair<double, bool>> lastImageRatio;
    std::shared_ptr<platform::ui::TapGestureRecognizer> closeTap;
    // Held as the root container holds its animator, and returned as the
    // presentation's animation controller.
    std::shared_ptr<orvane::OVVCPresentationTransitioningProtocol> presentationTransitioning;

    std::shared_ptr<platform::ui::AnimatedTransitioning> animationControllerForPresented(
        const std::shared_ptr<platform::ui::ViewController>&, const std::shared_ptr<platform::ui::ViewController>&,
        const std::shared_ptr<platform::ui::ViewController>&) override {
        return presentationTransitioning;
    }

    // A view as a storyboard makes it: the screen's size, following its
    // superview's size.
    void loadView() override {
        auto v = platform::ui::View::create(viewFrame_);
        v->setAutoresizingMask(platform::ui::AutoresizingMask::flexibleWidth |
                               platform::ui::AutoresizingMask::flexibleHeight);
        v->setBackgroundColor(platform::graphics::Color{0.95, 0.55, 0.1, 1});
        setView(v);
    }

    // ---- OVExpandableViewController ----
    std::optional<orvane::OVTheme> theme() const override { return orvane::OVTheme::light; }
    void controllerViewWasAddedToContainer(platform::ui::LayoutGuide&) override {
        log.push_back("controllerViewWasAddedToContainer");
    }
    void closeTapGestureRecognizerWasSet(
        const std::shared_ptr<platform::ui::TapGestureRecognizer>& tapGestureRecognizer) override {
        closeTap = tapGestureRecognizer;
        log.push_back("closeTapGestureRecognizerWasSet");
    }
    void presentationAnimationWillStart() override { log.push_back("presentationAnimationWillStart"); }

    // ---- OVRegularPresentableViewController ----
    void stateDidChange(orvane::OVRegularDisplayState toValue) override {
        regularStates.push_back(toValue);
        log.push_back("stateDidChange " + std::to_string(orvane::rawValue(toValue)));
    }
    void dismissGestureRecognizerWasSetForRegularDisplay(
        const std::shared_ptr<platform::ui::PanGestureRecognizer>&) override {
        log.push_back("dismissGestureRecognizerWasSetForRegularDisplay");
    }

    // ---- OVCompactPresentableViewController ----
    void expandingPanGestureRecognizerWasSet(const std::shared_ptr<platform::ui::PanGestureRecognizer>&) override {
        log.push_back("expandingPanGestureRecognizerWasSet");
    }
    void dismissPanGestureRecognizerWasSet(const std::shared_ptr<platform::ui::PanGestureRecognizer>&) override {
        log.push_back("dismissPanGestureRecognizerWasSet");
    }
    void stateDidChange(orvane::OVCompactDisplayState, orvane::OVCompactDisplayState) override {
        log.push_back("stateDidChange(from:to:)");
    }
    orvane::OVCompactTransitionPropertyList transitionProperties() override { return {}; }
    std::shared_ptr<platform::ui::View> preview() override { return nullptr; }
    void setImageRatio(double ratio, bool withoutAnimation) override { lastImageRatio = {ratio, withoutAnimation}; }
    bool shouldStartShrink() override { return true; }
    void isShrinking(double) override {}

    // ---- Recognisers' delegate ----
    bool gestureRecognizerShouldReceive(platform::ui::GestureRecognizer& recognizer,
                                        const platform::ui::Touch& touch) override {
        if (closeTap && &recognizer == closeTap.get()) {
            const auto v = view();
            return !v->bounds().contains(touch.location(v.get()));
        }
        return true;
    }

private:
    platform::graphics::Rect viewFrame_;
};

// A host window on a manual clock whose white root controller presents
// `presented` through `animator`, in a custom presentation whose requests
// reach `delegate`. The test's host makes the window, the controller and the
// animator (after the clock is manual), then calls `wire()`.
template <class Presented, class Animator>
struct PresentationHost {
    std::shared_ptr<platform::core::ManualClock> clock = platform::core::RunLoop::main().useManualClock();
    std::shared_ptr<platform::ui::Window> window;
    std::shared_ptr<platform::ui::ViewController> root = platform::ui::ViewController::create();
    std::shared_ptr<Presented> presented;
    std::shared_ptr<Animator> animator;
    std::shared_ptr<CountingDelegate> delegate = std::make_shared<CountingDelegate>();

    void wire() {
        platform::ui::Application::shared().makeKeyWindow(window);
        window->setRootViewController(root);
        root->view()->setBackgroundColor(platform::graphics::Color::white());
        presented->setModalPresentationStyle(platform::ui::ModalPresentationStyle::custom);
        presented->setTransitioningDelegate(presented);
        presented->presentationTransitioning = animator;
        animator->setDelegate(delegate);
    }
    void present() {
        ASSERT_TRUE(root->present(presented, true));
        loop().runUntilIdle();
    }
    static platform::core::RunLoop& loop() { return platform::core::RunLoop::main(); }
    void advance(double seconds) { loop().advance(seconds); }
};

}  // namespace presentation_test
