#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/controls/Slider.hpp"
#include "platform/ui/input/LongPressGestureRecognizer.hpp"
#include "platform/ui/input/PanGestureRecognizer.hpp"
#include "platform/ui/input/TapGestureRecognizer.hpp"
#include "platform/ui/lists/ScrollView.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace platform::ui;
using State = GestureRecognizerState;

namespace {

// Counts what reaches it and remembers the recogniser states it saw.
struct Recorder {
    std::vector<State> states;
    std::vector<Point> translations, velocities;
    int taps = 0, upInside = 0, upOutside = 0, down = 0, cancels = 0, values = 0;
    const View* panView = nullptr;
    bool resetTranslationAtBegin = false;

    void onGesture(GestureRecognizer& r) { states.push_back(r.state()); }
    void onTap() { ++taps; }
    void onPan(PanGestureRecognizer& pan) {
        states.push_back(pan.state());
        if (resetTranslationAtBegin && pan.state() == State::began) pan.setTranslation({0, 0}, panView);
        translations.push_back(pan.translation(panView));
        velocities.push_back(pan.velocity(panView));
    }
    void onUpInside() { ++upInside; }
    void onUpOutside() { ++upOutside; }
    void onDown() { ++down; }
    void onCancel() { ++cancels; }
    void onValue() { ++values; }
};

struct Scene {
    std::shared_ptr<Window> window = Window::create({320, 480});
    std::shared_ptr<View> container = View::create({0, 0, 320, 480});
    Scene() {
        platform::core::RunLoop::main().useManualClock();
        window->addSubview(container);
    }
};

TEST(Input, AControlTakesTheTapAndItsAncestorsTapRecognisersDoNotFire) {
    struct Case {
        std::string name;
        bool enabled, hidden;
        Point at;
        int controlUps, controlDowns, ancestorTaps;
    };
    const std::vector<Case> cases{
        {"enabled control", true, false, {50, 50}, 1, 1, 0},
        {"disabled control", false, false, {50, 50}, 0, 0, 1},
        {"hidden control", true, true, {50, 50}, 0, 0, 1},
        {"beside the control", true, false, {200, 300}, 0, 0, 1},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        auto rec = std::make_shared<Recorder>();
        auto button = Button::create({20, 20, 60, 60});
        button->setEnabled(c.enabled);
        button->setHidden(c.hidden);
        scene.container->addSubview(button);
        button->addTarget(rec, &Recorder::onUpInside, ControlEvents::touchUpInside);
        button->addTarget(rec, &Recorder::onDown, ControlEvents::touchDown);
        // Tap recognisers on the container and on the window.
        auto rec2 = std::make_shared<Recorder>();
        scene.container->addGestureRecognizer(TapGestureRecognizer::create(rec2, &Recorder::onTap));
        scene.window->addGestureRecognizer(TapGestureRecognizer::create(rec2, &Recorder::onTap));
        testsupport::tap(*scene.window, c.at);
        EXPECT_EQ(rec->upInside, c.controlUps);
        EXPECT_EQ(rec->down, c.controlDowns);
        EXPECT_EQ(rec2->taps, c.ancestorTaps);  // the nearest one wins, the other fails
        EXPECT_FALSE(button->isHighlighted());
    }
}

TEST(Input, ADragGivesTranslationAndVelocityAtEachStep) {
    // From (50, 50) to (150, 90) in 0.5 s over 5 moves: 20 x 8 points every
    // 0.1 s, i.e. 200 x 80 points per second. The pan's view is scaled by 2,
    // so in its own coordinates everything is halved.
    for (bool reset : {false, true}) {
        SCOPED_TRACE(reset ? "translation reset at began" : "plain");
        Scene scene;
        auto scaled = View::create({0, 0, 320, 480});
        scaled->setTransform(AffineTransform::scale(2, 2));
        scene.container->addSubview(scaled);
        auto rec = std::make_shared<Recorder>();
        rec->resetTranslationAtBegin = reset;
        auto pan = PanGestureRecognizer::create(rec, &Recorder::onPan);
        scene.container->addGestureRecognizer(pan);
        for (const View* in : {static_cast<const View*>(nullptr), static_cast<const View*>(scaled.get())}) {
            rec->states.clear();
            rec->translations.clear();
            rec->velocities.clear();
            rec->panView = in;
            const double k = in ? 0.5 : 1;
            testsupport::drag(*scene.window, {50, 50}, {150, 90}, 0.5, 5);
            const std::vector<State> states{State::began, State::changed, State::changed, State::changed,
                                            State::changed, State::ended};
            ASSERT_EQ(rec->states, states);
            for (std::size_t i = 0; i < states.size(); ++i) {
                const double step = static_cast<double>(std::min<std::size_t>(i + 1, 5)) - (reset ? 1 : 0);
                EXPECT_NEAR(rec->translations[i].x, 20 * step * k, 1e-6) << i;
                EXPECT_NEAR(rec->translations[i].y, 8 * step * k, 1e-6) << i;
                EXPECT_NEAR(rec->velocities[i].x, 200 * k, 1e-3) << i;
                EXPECT_NEAR(rec->velocities[i].y, 80 * k, 1e-3) << i;
            }
            EXPECT_EQ(pan->state(), State::possible);
        }
    }
}

TEST(Input, APansVelocityFollowsWhenTheTouchesHappenedNotWhenTheyArrive) {
    // A host's events of the last 0.3 s handed over together, each with its
    // own time: 30 points every 0.05 s is 600 points per second. A time
    // later than now counts as now, one before the touch's last change as
    // that change.
    Scene scene;
    auto& loop = platform::core::RunLoop::main();
    loop.advance(10);
    const double now = loop.now();
    auto rec = std::make_shared<Recorder>();
    scene.container->addGestureRecognizer(PanGestureRecognizer::create(rec, &Recorder::onPan));
    scene.window->sendTouch(1, TouchPhase::began, {100, 400}, now - 0.3);
    for (int i = 1; i <= 5; ++i) scene.window->sendTouch(1, TouchPhase::moved, {100, 400.0 - 30 * i}, now - 0.3 + 0.05 * i);
    scene.window->sendTouch(1, TouchPhase::ended, {100, 220}, now + 1);
    ASSERT_EQ(rec->states.back(), State::ended);
    EXPECT_NEAR(rec->velocities.back().y, -600, 0.01);

    rec->velocities.clear();
    scene.window->sendTouch(2, TouchPhase::began, {100, 400}, now - 0.1);
    scene.window->sendTouch(2, TouchPhase::moved, {100, 370}, now - 0.05);
    scene.window->sendTouch(2, TouchPhase::moved, {100, 340}, now - 0.2);
    scene.window->sendTouch(2, TouchPhase::ended, {100, 340}, now);
    ASSERT_EQ(rec->states.back(), State::ended);
    // 60 points over the 0.1 s from touch-down to lift-off.
    EXPECT_NEAR(rec->velocities.back().y, -600, 0.01);
}

TEST(Input, DisablingAnActivePanSendsCancelledAndNothingMore) {
    Scene scene;
    auto rec = std::make_shared<Recorder>();
    auto pan = PanGestureRecognizer::create(rec, &Recorder::onGesture);
    scene.container->addGestureRecognizer(pan);
    auto& loop = platform::core::RunLoop::main();
    scene.window->sendTouch(1, TouchPhase::began, {10, 10});
    loop.advance(0.05);
    scene.window->sendTouch(1, TouchPhase::moved, {40, 10});
    pan->setEnabled(false);
    scene.window->sendTouch(1, TouchPhase::moved, {80, 10});
    scene.window->sendTouch(1, TouchPhase::ended, {80, 10});
    EXPECT_EQ(rec->states, (std::vector<State>{State::began, State::cancelled}));
    EXPECT_EQ(pan->state(), State::possible);
    // Enabled again, it recognises the next drag.
    pan->setEnabled(true);
    rec->states.clear();
    testsupport::drag(*scene.window, {10, 10}, {80, 10}, 0.2, 2);
    EXPECT_EQ(rec->states, (std::vector<State>{State::began, State::changed, State::ended}));
}

TEST(Input, APanIgnoresMoreFingersThanItsMaximum) {
    for (std::size_t maximum : {1u, 2u}) {
        Scene scene;
        auto rec = std::make_shared<Recorder>();
        auto pan = PanGestureRecognizer::create(rec, &Recorder::onPan);
        pan->setMaximumNumberOfTouches(maximum);
        scene.container->addGestureRecognizer(pan);
        auto& loop = platform::core::RunLoop::main();
        scene.window->sendTouch(1, TouchPhase::began, {10, 10});
        scene.window->sendTouch(2, TouchPhase::began, {30, 10});
        loop.advance(0.1);
        scene.window->sendTouch(1, TouchPhase::moved, {10, 50});
        scene.window->sendTouch(2, TouchPhase::moved, {30, 50});
        scene.window->sendTouch(1, TouchPhase::ended, {10, 50});
        scene.window->sendTouch(2, TouchPhase::ended, {30, 50});
        if (maximum == 1) {
            EXPECT_TRUE(rec->states.empty());
        } else {
            // Both fingers moved 40 points down; lifting one keeps that.
            ASSERT_FALSE(rec->states.empty());
            EXPECT_EQ(rec->states.front(), State::began);
            EXPECT_EQ(rec->states.back(), State::ended);
            EXPECT_NEAR(rec->translations.back().x, 0, 1e-9);
            EXPECT_NEAR(rec->translations.back().y, 40, 1e-9);
        }
    }
}

TEST(Input, RecognisingCancelsTheControlsTouchesUnlessTold) {
    for (bool cancels : {true, false}) {
        Scene scene;
        auto rec = std::make_shared<Recorder>();
        auto button = Button::create({0, 0, 320, 100});
        scene.container->addSubview(button);
        button->addTarget(rec, &Recorder::onCancel, ControlEvents::touchCancel);
        button->addTarget(rec, &Recorder::onUpInside, ControlEvents::touchUpInside);
        auto pan = PanGestureRecognizer::create(rec, &Recorder::onGesture);
        pan->setCancelsTouchesInView(cancels);
        scene.container->addGestureRecognizer(pan);
        testsupport::drag(*scene.window, {10, 50}, {100, 50}, 0.3, 3);
        EXPECT_EQ(rec->cancels, cancels ? 1 : 0);
        EXPECT_EQ(rec->upInside, cancels ? 0 : 1);
        EXPECT_EQ(rec->states.back(), State::ended);
    }
}

TEST(Input, LongPressNeedsItsMinimumDurationAndFiresWhileHeld) {
    struct Case {
        double held;
        std::vector<State> states;
    };
    const std::vector<Case> cases{
        {0.3, {}},
        {0.49, {}},
        {0.6, {State::began, State::ended}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.held);
        Scene scene;
        auto rec = std::make_shared<Recorder>();
        auto press = LongPressGestureRecognizer::create(rec, &Recorder::onGesture);
        scene.container->addGestureRecognizer(press);
        testsupport::longPress(*scene.window, {100, 100}, c.held);
        EXPECT_EQ(rec->states, c.states);
    }
    // It begins on the clock, before the finger lifts.
    Scene scene;
    auto rec = std::make_shared<Recorder>();
    scene.container->addGestureRecognizer(LongPressGestureRecognizer::create(rec, &Recorder::onGesture));
    scene.window->sendTouch(3, TouchPhase::began, {100, 100});
    platform::core::RunLoop::main().advance(0.5);
    EXPECT_EQ(rec->states, std::vector<State>{State::began});
    scene.window->sendTouch(3, TouchPhase::ended, {100, 100});
}

struct Refusing : GestureRecognizerDelegate {
    bool begin = true, receive = true;
    bool gestureRecognizerShouldBegin(GestureRecognizer&) override { return begin; }
    bool gestureRecognizerShouldReceive(GestureRecognizer&, const Touch&) override { return receive; }
};

TEST(Input, TargetsAreWeakAndCountOnceAndTheDelegateMayRefuse) {
    Scene scene;
    auto rec = std::make_shared<Recorder>();
    auto tap = TapGestureRecognizer::create(rec, &Recorder::onTap);
    tap->addTarget(rec, &Recorder::onTap);
    auto gone = std::make_shared<Recorder>();
    tap->addTarget(gone, &Recorder::onTap);
    EXPECT_EQ(tap->targetCount(), 2u);
    gone.reset();
    scene.container->addGestureRecognizer(tap);
    testsupport::tap(*scene.window, {5, 5});
    EXPECT_EQ(rec->taps, 1);
    EXPECT_EQ(tap->targetCount(), 1u);

    auto delegate = std::make_shared<Refusing>();
    tap->setDelegate(delegate);
    delegate->begin = false;
    testsupport::tap(*scene.window, {5, 5});
    delegate->begin = true;
    delegate->receive = false;
    testsupport::tap(*scene.window, {5, 5});
    EXPECT_EQ(rec->taps, 1);
    delegate.reset();  // a gone delegate is no delegate
    testsupport::tap(*scene.window, {5, 5});
    EXPECT_EQ(rec->taps, 2);
}

TEST(Input, ADoubleTapNeedsBothTapsInTime) {
    Scene scene;
    auto rec = std::make_shared<Recorder>();
    auto tap = TapGestureRecognizer::create(rec, &Recorder::onTap);
    tap->setNumberOfTapsRequired(2);
    scene.container->addGestureRecognizer(tap);
    auto& loop = platform::core::RunLoop::main();
    testsupport::tap(*scene.window, {5, 5});
    loop.advance(0.2);
    testsupport::tap(*scene.window, {6, 5});
    EXPECT_EQ(rec->taps, 1);
    testsupport::tap(*scene.window, {5, 5});
    loop.advance(0.5);
    testsupport::tap(*scene.window, {5, 5});
    EXPECT_EQ(rec->taps, 1);
}

TEST(Input, ASliderFollowsItsThumbAndIsHighlightedWhileTracking) {
    Scene scene;
    auto slider = Slider::create({10, 10, 228, 40});
    scene.container->addSubview(slider);
    auto rec = std::make_shared<Recorder>();
    slider->addTarget(rec, &Recorder::onValue, ControlEvents::valueChanged);
    slider->addTarget(rec, &Recorder::onUpInside, ControlEvents::touchUpInside | ControlEvents::touchUpOutside);
    slider->addTarget(rec, &Recorder::onUpInside, ControlEvents::touchUpInside);  // the pair counts once
    // Track 228 wide, thumb 28: 200 points of travel. The thumb starts
    // centred at x = 10 + 14.
    auto& loop = platform::core::RunLoop::main();
    scene.window->sendTouch(1, TouchPhase::began, {24, 30});
    EXPECT_TRUE(slider->isHighlighted());
    loop.advance(0.1);
    scene.window->sendTouch(1, TouchPhase::moved, {74, 90});  // outside, still highlighted
    EXPECT_FLOAT_EQ(slider->value(), 0.25f);
    EXPECT_TRUE(slider->isHighlighted());
    scene.window->sendTouch(1, TouchPhase::moved, {400, 30});
    EXPECT_FLOAT_EQ(slider->value(), 1.0f);
    scene.window->sendTouch(1, TouchPhase::ended, {400, 30});
    EXPECT_FALSE(slider->isHighlighted());
    EXPECT_EQ(rec->values, 2);
    EXPECT_EQ(rec->upInside, 1);
    // A touch off the thumb moves nothing.
    testsupport::drag(*scene.window, {100, 30}, {150, 30}, 0.1, 2);
    EXPECT_FLOAT_EQ(slider->value(), 1.0f);
    slider->setValue(7);
    EXPECT_FLOAT_EQ(slider->value(), 1.0f);
    slider->setValue(-1);
    EXPECT_FLOAT_EQ(slider->value(), 0.0f);
}

}  // namespace

namespace {

TEST(Input, ADragScrollsAScrollViewOnlyWhileScrollingIsEnabled) {
    for (const bool enabled : {true, false}) {
        Scene scene;
        auto scroll = ScrollView::create({0, 0, 320, 480});
        scroll->setContentSize({320, 2000});
        scroll->setScrollEnabled(enabled);
        scene.container->addSubview(scroll);
        testsupport::drag(*scene.window, {100, 400}, {100, 150}, 0.5);
        platform::core::RunLoop::main().advance(1.0);
        EXPECT_NEAR(scroll->contentOffset().y, enabled ? 250 : 0, 1e-6) << enabled;
        EXPECT_FALSE(scroll->isDragging());
    }
}

// A pager scrolling sideways holds a list, over a pan of their container:
// each drag goes to the nearest of them that moves that way, and the ones
// that do not are left out of it. A list moves up and down when its content
// is longer than it, or, as a table does, when it always bounces that way;
// a short plain list moves neither way and takes no drag.
TEST(Input, NestedScrollViewsTakeOnlyTheDragsTheyScrollAlong) {
    enum class List { longList, shortList, emptyTable };
    struct Case {
        const char* name;
        List list;
        Point from, to;
        double pagerX, listY;
        bool outerPans;
    };
    const Case cases[] = {
        {"up over a long list", List::longList, {160, 400}, {160, 200}, 0, 200, false},
        {"sideways over a long list", List::longList, {300, 300}, {60, 300}, 320, 0, false},
        {"down over the pager beside the list", List::longList, {160, 20}, {160, 90}, 0, 0, true},
        {"sideways over the pager beside the list", List::longList, {300, 50}, {60, 50}, 320, 0, false},
        {"up over a short list", List::shortList, {160, 400}, {160, 200}, 0, 0, true},
        {"sideways over a short list", List::shortList, {300, 300}, {60, 300}, 320, 0, false},
        {"up over an empty table: it bounces", List::emptyTable, {160, 400}, {160, 200}, 0, 0, false},
        {"sideways over an empty table", List::emptyTable, {300, 300}, {60, 300}, 320, 0, false},
        {"back over an empty table on the first page: the pager bounces", List::emptyTable, {60, 300}, {300, 300}, 0,
         0, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        auto pager = ScrollView::create({0, 0, 320, 480});
        pager->setContentSize({960, 480});
        pager->setPagingEnabled(true);
        scene.container->addSubview(pager);
        const Rect listFrame{0, 100, 320, 380};
        std::shared_ptr<ScrollView> list;
        if (c.list == List::emptyTable) {
            list = TableView::create(listFrame);
        } else {
            list = ScrollView::create(listFrame);
            list->setContentSize({320, c.list == List::longList ? 2000.0 : 200.0});
        }
        pager->addSubview(list);
        auto rec = std::make_shared<Recorder>();
        scene.container->addGestureRecognizer(PanGestureRecognizer::create(rec, &Recorder::onGesture));
        testsupport::drag(*scene.window, c.from, c.to, 0.5, 30);
        platform::core::RunLoop::main().advance(1.0);
        EXPECT_NEAR(pager->contentOffset().x, c.pagerX, 1e-6);
        EXPECT_NEAR(list->contentOffset().x, 0, 1e-6);
        EXPECT_NEAR(list->contentOffset().y, c.listY, 1e-6);
        EXPECT_EQ(!rec->states.empty() && rec->states.back() == State::ended, c.outerPans);
    }
}

}  // namespace

namespace {

// Counts the hit tests that reach it.
class HitCounter : public View {
public:
    using View::View;
    static std::shared_ptr<HitCounter> create(const Rect& frame) {
        return std::make_shared<HitCounter>(ConstructorKey{}, frame);
    }
    std::shared_ptr<View> hitTest(Point point) override {
        ++hits;
        return View::hitTest(point);
    }
    int hits = 0;
};

// A touch whose location is not a number (or no screen's) is dropped with one
// debug line before hit testing: nothing sees it. A pan in progress sees no
// such move, and a lift-off there cancels it where the finger last was.
TEST(Input, ATouchAtANonFiniteLocationIsDroppedBeforeHitTesting) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const double inf = std::numeric_limits<double>::infinity();
    for (const Point bad : {Point{nan, nan}, Point{inf, 10}, Point{10, -inf}, Point{1e308, 1e308}}) {
        SCOPED_TRACE(std::to_string(bad.x) + ", " + std::to_string(bad.y));
        Scene scene;
        auto counter = HitCounter::create({0, 0, 320, 480});
        scene.container->addSubview(counter);
        auto rec = std::make_shared<Recorder>();
        auto pan = PanGestureRecognizer::create(rec, &Recorder::onPan);
        counter->addGestureRecognizer(pan);
        auto button = Button::create({0, 0, 320, 480});
        button->addTarget(rec, &Recorder::onDown, ControlEvents::touchDown);
        counter->addSubview(button);

        platform::core::DebugCapture lines;
        scene.window->sendTouch(1, TouchPhase::began, bad);
        scene.window->sendTouch(1, TouchPhase::moved, {50, 50});
        scene.window->sendTouch(1, TouchPhase::ended, bad);
        EXPECT_EQ(counter->hits, 0);
        EXPECT_EQ(rec->down, 0);
        EXPECT_TRUE(rec->states.empty());
        EXPECT_EQ(lines.count("Window: dropped a touch at a location that is not finite or out of range"), 2u);

        auto& loop = platform::core::RunLoop::main();
        scene.window->sendTouch(2, TouchPhase::began, {100, 100});
        loop.advance(0.1);
        scene.window->sendTouch(2, TouchPhase::moved, {140, 100});
        scene.window->sendTouch(2, TouchPhase::moved, bad);
        loop.advance(0.1);
        scene.window->sendTouch(2, TouchPhase::ended, bad);
        EXPECT_EQ(rec->states, (std::vector<State>{State::began, State::cancelled}));
        for (std::size_t i = 0; i < rec->translations.size(); ++i) {
            EXPECT_TRUE(std::isfinite(rec->translations[i].x) && std::isfinite(rec->translations[i].y)) << i;
            EXPECT_TRUE(std::isfinite(rec->velocities[i].x) && std::isfinite(rec->velocities[i].y)) << i;
        }
        EXPECT_EQ(pan->state(), State::possible);
        EXPECT_EQ(lines.count("Window: dropped a touch"), 4u);
    }
}

}  // namespace

namespace {

struct Together : GestureRecognizerDelegate {
    bool allow = false;
    bool gestureRecognizerShouldRecognizeSimultaneously(GestureRecognizer&, GestureRecognizer&) override {
        return allow;
    }
};

TEST(Input, TwoPansOnOneTouchGoOnTogetherOnlyWhenADelegateAllowsIt) {
    // An inner pan recognises first; the outer one fails, unless the
    // delegate of either lets them recognise together.
    struct Case {
        const char* name;
        bool innerAllows, outerAllows, outerMoves;
    };
    const Case cases[] = {
        {"neither allows", false, false, false},
        {"the inner one's delegate allows", true, false, true},
        {"the outer one's delegate allows", false, true, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene;
        auto inner = View::create({0, 0, 320, 240});
        scene.container->addSubview(inner);
        auto innerRec = std::make_shared<Recorder>();
        auto outerRec = std::make_shared<Recorder>();
        auto innerPan = PanGestureRecognizer::create(innerRec, &Recorder::onGesture);
        auto outerPan = PanGestureRecognizer::create(outerRec, &Recorder::onGesture);
        auto innerDelegate = std::make_shared<Together>();
        auto outerDelegate = std::make_shared<Together>();
        innerDelegate->allow = c.innerAllows;
        outerDelegate->allow = c.outerAllows;
        innerPan->setDelegate(innerDelegate);
        outerPan->setDelegate(outerDelegate);
        inner->addGestureRecognizer(innerPan);
        scene.container->addGestureRecognizer(outerPan);
        testsupport::drag(*scene.window, {10, 50}, {10, 200}, 0.3, 3);
        EXPECT_EQ(innerRec->states.back(), State::ended);
        EXPECT_EQ(!outerRec->states.empty() && outerRec->states.back() == State::ended, c.outerMoves);
    }
}

}  // namespace

namespace {

// A window 200 points square: a vertical list filling it, holding a
// horizontal strip at its top (0..100) and a horizontal pager below it
// (100..200).
struct WheelScene {
    std::shared_ptr<Window> window = Window::create({200, 200}, 1);
    std::shared_ptr<ScrollView> list = ScrollView::create({0, 0, 200, 200});
    std::shared_ptr<ScrollView> strip = ScrollView::create({0, 0, 200, 100});
    std::shared_ptr<ScrollView> pager = ScrollView::create({0, 100, 200, 100});
    WheelScene() {
        list->setContentSize({200, 1000});
        strip->setContentSize({600, 100});
        pager->setContentSize({600, 100});
        pager->setPagingEnabled(true);
        list->addSubview(strip);
        list->addSubview(pager);
        window->setRootView(list);
    }
};

}  // namespace

TEST(Input, TheWheelScrollsTheInnermostScrollViewThatCanScrollAlongItsAxis) {
    using Unit = Window::ScrollUnit;
    const double step = std::pow(200.0, 2.0 / 3.0);
    struct Case {
        std::string name;
        Point at, delta;
        Unit unit;
        bool moved;
        Point list, strip;
        bool stripDisabled = false;
    };
    const std::vector<Case> cases = {
        {"down over the strip: the list, which scrolls that way", {50, 50}, {0, 30}, Unit::points, true, {0, 30}, {}},
        {"sideways over the strip: the strip", {50, 50}, {40, 0}, Unit::points, true, {}, {40, 0}},
        {"both at once: each axis its own view", {50, 50}, {40, 30}, Unit::points, true, {0, 30}, {40, 0}},
        {"a wheel step: the view's length to the power 2/3", {50, 50}, {0, 1}, Unit::steps, true, {0, step}, {}},
        {"sideways over the pager: passed over, nothing else scrolls that way",
         {50, 150}, {40, 0}, Unit::points, false, {}, {}},
        {"up at the top: clamped, nothing moves", {50, 50}, {0, -30}, Unit::points, false, {}, {}},
        {"far down: clamped to the end", {50, 50}, {0, 5000}, Unit::points, true, {0, 800}, {}},
        {"sideways over a strip that does not scroll", {50, 50}, {40, 0}, Unit::points, false, {}, {}, true},
        {"a delta that is not finite", {50, 50}, {0, std::nan("")}, Unit::points, false, {}, {}},
    };
    std::vector<std::string> lines;
    platform::core::setDebugSink([&](std::string_view line) { lines.emplace_back(line); });
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        WheelScene scene;
        scene.strip->setScrollEnabled(!c.stripDisabled);
        EXPECT_EQ(scene.window->sendScroll(c.at, c.delta, c.unit), c.moved);
        EXPECT_NEAR(scene.list->contentOffset().y, c.list.y, 1e-9);
        EXPECT_EQ(scene.list->contentOffset().x, c.list.x);
        EXPECT_EQ(scene.strip->contentOffset(), c.strip);
        EXPECT_EQ(scene.pager->contentOffset(), Point{});
    }
    platform::core::setDebugSink({});
    EXPECT_EQ(lines.size(), 1u) << "one line for the scroll that is not finite";
}
