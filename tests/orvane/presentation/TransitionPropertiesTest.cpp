#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "PresentationTestSupport.hpp"
#include "orvane/presentation/OVCompactTransitionProperty.hpp"
#include "orvane/presentation/OVDisplayStates.hpp"
#include "orvane/presentation/OVRegularTransitionProperty.hpp"
#include "orvane/presentation/OVSwipeButon.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/views/View.hpp"

using namespace orvane;
using namespace platform::ui;
using presentation_test::RecordingPresentable;
using Compact = OVCompactTransitionProperty;
using Regular = OVRegularTransitionProperty;

namespace {

constexpr int closed = 0, preview = 1, expanding = 2, fullScreen = 3, shrinking = 4, dismissing = 5;
constexpr int displayed = 1, regularShrinking = 2;

// One call on a fresh property whose held value starts at a sentinel:
// `set(state)` when `p` is none, else `update(p, state)`, with r as given.
// `expected` none means the sentinel stays.
template <class T>
struct Row {
    std::string name;
    int state;
    std::optional<double> p;
    std::optional<double> r;
    std::optional<T> expected;
};

void expectValue(double expected, double actual) { EXPECT_NEAR(actual, expected, 1e-9); }
template <class T>
void expectValue(const T& expected, const T& actual) {
    EXPECT_EQ(actual, expected);
}

// `make` builds the held object at the sentinel and the property on it;
// `read` gives the held object's value.
template <class T, class Held>
void runTable(const std::vector<Row<T>>& rows, const T& sentinel,
              const std::function<std::shared_ptr<Held>(const T&)>& makeHeld,
              const std::function<std::shared_ptr<OVTransitionProperty>(const std::shared_ptr<Held>&)>& makeProperty,
              const std::function<T(const Held&)>& read) {
    for (const auto& row : rows) {
        SCOPED_TRACE(row.name);
        auto held = makeHeld(sentinel);
        auto property = makeProperty(held);
        if (auto compact = std::dynamic_pointer_cast<OVCompactTransitionProperty>(property)) {
            compact->setPreviewRelativePosition(row.r);
        }
        if (row.p) {
            property->update(*row.p, row.state);
        } else {
            property->set(row.state);
        }
        expectValue(row.expected.value_or(sentinel), read(*held));
    }
}

// A released held object makes both operations do nothing, in every state.
void expectReleasedIsNoOp(const std::shared_ptr<OVTransitionProperty>& property, std::weak_ptr<void> held) {
    EXPECT_TRUE(held.expired());
    if (auto compact = std::dynamic_pointer_cast<OVCompactTransitionProperty>(property)) {
        compact->setPreviewRelativePosition(0.4);
    }
    for (int state = -1; state <= 6; ++state) {
        property->set(state);
        for (double p : {0.0, 0.2, 0.5, 0.98, 1.0}) property->update(p, state);
    }
}

std::shared_ptr<View> viewWithAlpha(double alpha) {
    auto v = View::create({0, 0, 10, 10});
    v->setAlpha(alpha);
    return v;
}
double alphaOf(const View& v) { return v.alpha(); }

template <class P>
void runAlphaTable(const std::vector<Row<double>>& rows) {
    runTable<double, View>(
        rows, 0.77, viewWithAlpha, [](const std::shared_ptr<View>& v) { return P::create(v); }, alphaOf);
    auto v = viewWithAlpha(0.77);
    auto property = P::create(v);
    std::weak_ptr<void> weak = v;
    v.reset();
    expectReleasedIsNoOp(property, weak);
}

std::shared_ptr<OVSwipeButon> handleAt(double factor) {
    auto handle = OVSwipeButon::create({0, 0, 40, 40});
    handle->setHeightFactor(factor);
    return handle;
}
double factorOf(const OVSwipeButon& handle) { return handle.heightFactor(); }

// A constraint (of a view that may go: constraints are held by what uses them).
LayoutConstraintPtr constraintAt(double constant) {
    return View::create()->widthAnchor().constraintEqualToConstant(constant);
}
double constantOf(const LayoutConstraint& c) { return c.constant(); }

template <class P>
void runConstantTable(const std::vector<Row<double>>& rows) {
    runTable<double, LayoutConstraint>(
        rows, 5.0, constraintAt, [](const LayoutConstraintPtr& c) { return P::create(c); }, constantOf);
    auto c = constraintAt(5);
    auto property = P::create(c);
    std::weak_ptr<void> weak = c;
    c.reset();
    expectReleasedIsNoOp(property, weak);
}

}  // namespace

TEST(TransitionProperties, ListsApplyEachPropertyInOrder) {
    struct Recording : OVTransitionProperty {
        Recording(std::vector<std::string>& log, std::string name)
            : OVTransitionProperty(ConstructorKey{}), log(log), name(std::move(name)) {}
        void set(int toState) override { log.push_back(name + " set " + std::to_string(toState)); }
        void update(double p, int withState) override {
            log.push_back(name + " update " + std::to_string(p).substr(0, 4) + " " + std::to_string(withState));
        }
        std::vector<std::string>& log;
        std::string name;
    };
    std::vector<std::string> log;
    OVTransitionProperty::set({}, 1);
    OVTransitionProperty::update({}, 0.5, 2);
    const OVTransitionPropertyList list{std::make_shared<Recording>(log, "a"), OVTransitionProperty::create(),
                                        std::make_shared<Recording>(log, "b")};
    OVTransitionProperty::set(list, 1);
    OVTransitionProperty::update(list, 0.25, 4);
    EXPECT_EQ(log, (std::vector<std::string>{"a set 1", "b set 1", "a update 0.25 4", "b update 0.25 4"}));
}

TEST(TransitionProperties, CompactShadowViewAlpha) {
    runAlphaTable<Compact::ShadowViewAlpha>({
        {"closed", closed, {}, {}, 0.0},
        {"preview", preview, {}, {}, 0.4},
        {"expanding", expanding, {}, {}, {}},
        {"full screen", fullScreen, {}, {}, 0.4},
        {"shrinking", shrinking, {}, {}, {}},
        {"dismissing", dismissing, {}, {}, {}},
        {"raw 6", 6, {}, {}, {}},
        {"raw -1", -1, {}, {}, {}},
        {"expanding below r", expanding, 0.2, 0.4, 0.2},
        {"expanding above r", expanding, 0.5, 0.4, {}},
        {"expanding without r", expanding, 0.2, {}, {}},
        {"expanding with r 0 (divides by zero)", expanding, -0.1, 0.0, {}},
        {"shrinking", shrinking, 0.5, 0.4, 0.2},
        {"shrinking without r", shrinking, 0.5, {}, 0.2},
        {"update in preview", preview, 0.5, 0.4, {}},
        {"update with raw 6", 6, 0.5, 0.4, {}},
    });
}

TEST(TransitionProperties, CompactAlphaMask) {
    runAlphaTable<Compact::AlphaMask>({
        {"closed", closed, {}, {}, 1.0},
        {"preview", preview, {}, {}, 1.0},
        {"expanding", expanding, {}, {}, 0.0},
        {"full screen", fullScreen, {}, {}, 0.0},
        {"shrinking", shrinking, {}, {}, 0.0},
        {"dismissing", dismissing, {}, {}, 0.0},
        {"raw 6", 6, {}, {}, {}},
        {"at r", expanding, 0.4, 0.4, 1.0},
        {"0.005 above r", expanding, 0.405, 0.4, 0.5},
        {"0.01 above r", expanding, 0.41, 0.4, 0.0},
        {"far above r", expanding, 0.9, 0.4, 0.0},
        {"below r", expanding, 0.3, 0.4, 1.0},
        {"without r", expanding, 0.405, {}, {}},
        {"shrinking", shrinking, 0.5, 0.4, {}},
    });
}

TEST(TransitionProperties, CompactPresentingVCTransform) {
    auto make = [](const double& scale) {
        auto v = View::create({0, 0, 10, 10});
        v->setTransform(AffineTransform::scale(scale, scale));
        return v;
    };
    auto read = [](const View& v) {
        EXPECT_EQ(v.transform().a, v.transform().d);
        EXPECT_EQ(v.transform().b, 0);
        return v.transform().a;
    };
    runTable<double, View>(
        {
            {"closed", closed, {}, {}, 1.0},
            {"preview", preview, {}, {}, 1.0},
            {"expanding", expanding, {}, {}, 1.0},
            {"full screen", fullScreen, {}, {}, 0.9},
            {"shrinking", shrinking, {}, {}, 1.0},
            {"dismissing", dismissing, {}, {}, 1.0},
            {"raw -1", -1, {}, {}, {}},
            {"expanding at 1", expanding, 1.0, 0.4, 0.9},
            {"expanding at 0.75", expanding, 0.75, 0.4, 0.95},
            {"expanding at 0.5", expanding, 0.5, 0.4, 1.0},
            {"shrinking at 0.2", shrinking, 0.2, {}, 1.0},
            {"shrinking at 0.75 without r", shrinking, 0.75, {}, 0.95},
            {"preview", preview, 0.75, 0.4, {}},
        },
        0.5, make, [](const std::shared_ptr<View>& v) { return Compact::PresentingVCTransform::create(v); }, read);
    auto v = make(0.5);
    auto property = Compact::PresentingVCTransform::create(v);
    std::weak_ptr<void> weak = v;
    v.reset();
    expectReleasedIsNoOp(property, weak);
}

TEST(TransitionProperties, CompactPresentingVCCornerRadiusKeepsTheHostViewAlive) {
    using Corners = std::pair<double, bool>;
    auto make = [](const Corners& c) {
        auto v = View::create({0, 0, 10, 10});
        v->layer()->setCornerRadius(c.first);
        v->layer()->setMasksToBounds(c.second);
        return v;
    };
    auto read = [](const View& v) { return Corners{v.layer()->cornerRadius(), v.layer()->masksToBounds()}; };
    auto makeProperty = [](const std::shared_ptr<View>& v) { return Compact::PresentingVCCornerRadius::create(v); };
    for (const Corners& sentinel : {Corners{3, true}, Corners{3, false}}) {
        runTable<Corners, View>(
            {
                {"closed", closed, {}, {}, Corners{0, false}},
                {"preview", preview, {}, {}, Corners{6, true}},
                {"expanding", expanding, {}, {}, {}},
                {"full screen", fullScreen, {}, {}, Corners{12, true}},
                {"shrinking", shrinking, {}, {}, {}},
                {"dismissing", dismissing, {}, {}, {}},
                {"raw 6", 6, {}, {}, {}},
                {"update expanding", expanding, 0.7, 0.4, {}},
                {"update shrinking", shrinking, 0.7, 0.4, {}},
            },
            sentinel, make, makeProperty, read);
    }
    auto v = make({3, true});
    auto property = makeProperty(v);
    std::weak_ptr<View> weak = v;
    v.reset();
    ASSERT_FALSE(weak.expired());
    property->set(fullScreen);
    EXPECT_EQ(read(*weak.lock()), (Corners{12, true}));
}

TEST(TransitionProperties, CompactImageRatio) {
    using Call = std::optional<std::pair<double, bool>>;
    auto make = [](const Call&) { return RecordingPresentable::create(); };
    auto read = [](const RecordingPresentable& vc) {
        // Compared with a tolerance: 5/6 is reached by arithmetic.
        if (vc.lastImageRatio) return Call{{std::round(vc.lastImageRatio->first * 1e9) / 1e9, vc.lastImageRatio->second}};
        return Call{};
    };
    auto ratio = [](double value, bool withoutAnimation) { return Call{{std::round(value * 1e9) / 1e9, withoutAnimation}}; };
    runTable<Call, RecordingPresentable>(
        {
            {"closed", closed, {}, {}, {}},
            {"preview", preview, {}, {}, ratio(2.0 / 3.0, false)},
            {"expanding", expanding, {}, {}, {}},
            {"full screen", fullScreen, {}, {}, ratio(1, false)},
            {"shrinking", shrinking, {}, {}, {}},
            {"dismissing", dismissing, {}, {}, {}},
            {"raw 6", 6, {}, {}, {}},
            {"at r", expanding, 0.4, 0.4, ratio(2.0 / 3.0, true)},
            {"below r", expanding, 0.2, 0.4, ratio(2.0 / 3.0, true)},
            {"at 0.7", expanding, 0.7, 0.4, ratio(5.0 / 6.0, true)},
            {"at 1", expanding, 1.0, 0.4, ratio(1, true)},
            {"without r", expanding, 0.7, {}, {}},
            {"r 1 (divides by zero)", expanding, 1.2, 1.0, {}},
            {"shrinking", shrinking, 0.7, 0.4, {}},
        },
        Call{}, make,
        [](const std::shared_ptr<RecordingPresentable>& vc) { return Compact::ImageRatio::create(vc); }, read);
    auto vc = RecordingPresentable::create();
    auto property = Compact::ImageRatio::create(vc);
    std::weak_ptr<void> weak = vc;
    vc.reset();
    expectReleasedIsNoOp(property, weak);
}

TEST(TransitionProperties, CompactPresentedVCWidth) {
    runConstantTable<Compact::PresentedVCWidth>({
        {"closed", closed, {}, {}, 0.0},
        {"preview", preview, {}, {}, -16.0},
        {"expanding", expanding, {}, {}, {}},
        {"full screen", fullScreen, {}, {}, 0.0},
        {"shrinking", shrinking, {}, {}, {}},
        {"dismissing", dismissing, {}, {}, {}},
        {"raw 6", 6, {}, {}, {}},
        {"update expanding", expanding, 0.7, 0.4, {}},
        {"update shrinking", shrinking, 0.7, 0.4, {}},
    });
}

TEST(TransitionProperties, CompactSwipeButtonHeightFactor) {
    runTable<double, OVSwipeButon>(
        {
            {"closed", closed, {}, {}, {}},
            {"preview", preview, {}, {}, {}},
            {"expanding", expanding, {}, {}, {}},
            {"full screen", fullScreen, {}, {}, 1.0},
            {"shrinking", shrinking, {}, {}, {}},
            {"dismissing", dismissing, {}, {}, {}},
            {"raw 6", 6, {}, {}, {}},
            {"shrinking at 1", shrinking, 1.0, {}, 1.0},
            {"shrinking at 0.98", shrinking, 0.98, {}, 0.5},
            {"shrinking at 0.96", shrinking, 0.96, {}, 0.0},
            {"shrinking at 0.5", shrinking, 0.5, 0.4, 0.0},
            {"expanding", expanding, 0.98, 0.4, {}},
        },
        0.3, handleAt,
        [](const std::shared_ptr<OVSwipeButon>& h) { return Compact::SwipeButtonHeightFactor::create(h); }, factorOf);
    auto handle = handleAt(0.3);
    auto property = Compact::SwipeButtonHeightFactor::create(handle);
    std::weak_ptr<void> weak = handle;
    handle.reset();
    expectReleasedIsNoOp(property, weak);
}

TEST(TransitionProperties, CompactCancelButtonDisplay) {
    runAlphaTable<Compact::CancelButtonDisplay>({
        {"closed", closed, {}, {}, {}},
        {"preview", preview, {}, {}, 0.8},
        {"expanding", expanding, {}, {}, {}},
        {"full screen", fullScreen, {}, {}, 0.0},
        {"shrinking", shrinking, {}, {}, {}},
        {"dismissing", dismissing, {}, {}, {}},
        {"raw -1", -1, {}, {}, {}},
        {"at 0.7", expanding, 0.7, 0.4, 0.4},
        {"at 1", expanding, 1.0, 0.4, 0.0},
        {"at r", expanding, 0.4, 0.4, {}},
        {"below r", expanding, 0.3, 0.4, {}},
        {"without r", expanding, 0.7, {}, {}},
        {"r 1 (divides by zero)", expanding, 1.5, 1.0, {}},
        {"shrinking", shrinking, 0.7, 0.4, {}},
    });
}

TEST(TransitionProperties, CompactNavigationBarDisplay) {
    auto make = [](const bool& hidden) {
        auto v = View::create({0, 0, 10, 10});
        v->setHidden(hidden);
        return v;
    };
    auto makeProperty = [](const std::shared_ptr<View>& v) { return Compact::NavigationBarDisplay::create(v); };
    for (bool sentinel : {false, true}) {
        runTable<bool, View>(
            {
                {"closed", closed, {}, {}, {}},
                {"preview", preview, {}, {}, true},
                {"expanding", expanding, {}, {}, {}},
                {"full screen", fullScreen, {}, {}, false},
                {"shrinking", shrinking, {}, {}, {}},
                {"dismissing", dismissing, {}, {}, {}},
                {"raw 6", 6, {}, {}, {}},
                {"update expanding", expanding, 0.7, 0.4, {}},
                {"update shrinking", shrinking, 0.7, 0.4, {}},
            },
            sentinel, make, makeProperty, [](const View& v) { return v.isHidden(); });
    }
    auto v = make(false);
    auto property = makeProperty(v);
    std::weak_ptr<void> weak = v;
    v.reset();
    expectReleasedIsNoOp(property, weak);
}

TEST(TransitionProperties, RegularShadowViewAlpha) {
    runAlphaTable<Regular::ShadowViewAlpha>({
        {"closed", closed, {}, {}, 0.0},
        {"displayed", displayed, {}, {}, 0.4},
        {"shrinking", regularShrinking, {}, {}, 0.4},
        {"raw 3", 3, {}, {}, {}},
        {"raw -1", -1, {}, {}, {}},
        {"shrinking at 0.2", regularShrinking, 0.2, {}, 0.08},
        {"shrinking at 1", regularShrinking, 1.0, {}, 0.4},
        {"shrinking at 0", regularShrinking, 0.0, {}, 0.0},
        {"displayed", displayed, 0.2, {}, {}},
        {"closed", closed, 0.2, {}, {}},
        {"raw 3", 3, 0.2, {}, {}},
    });
}

TEST(TransitionProperties, RegularPresentedVCRightConstraint) {
    runConstantTable<Regular::PresentedVCRightConstraint>({
        {"closed", closed, {}, {}, 375.0},
        {"displayed", displayed, {}, {}, 0.0},
        {"shrinking", regularShrinking, {}, {}, 0.0},
        {"raw 3", 3, {}, {}, {}},
        {"raw -1", -1, {}, {}, {}},
        {"shrinking at 1", regularShrinking, 1.0, {}, 0.0},
        {"shrinking at 0.2", regularShrinking, 0.2, {}, 300.0},
        {"shrinking at 0", regularShrinking, 0.0, {}, 375.0},
        {"displayed", displayed, 0.2, {}, {}},
        {"closed", closed, 0.2, {}, {}},
    });
}

TEST(TransitionProperties, RegularSwipeButtonHeightFactor) {
    runTable<double, OVSwipeButon>(
        {
            {"closed", closed, {}, {}, {}},
            {"displayed", displayed, {}, {}, 1.0},
            {"shrinking", regularShrinking, {}, {}, {}},
            {"raw 3", 3, {}, {}, {}},
            {"shrinking at 1", regularShrinking, 1.0, {}, 1.0},
            {"shrinking at 0.98", regularShrinking, 0.98, {}, 0.5},
            {"shrinking at 0.96", regularShrinking, 0.96, {}, 0.0},
            {"shrinking at 0.2", regularShrinking, 0.2, {}, 0.0},
            {"displayed", displayed, 0.98, {}, {}},
            {"raw 3", 3, 0.98, {}, {}},
        },
        0.3, handleAt,
        [](const std::shared_ptr<OVSwipeButon>& h) { return Regular::SwipeButtonHeightFactor::create(h); }, factorOf);
    auto handle = handleAt(0.3);
    auto property = Regular::SwipeButtonHeightFactor::create(handle);
    std::weak_ptr<void> weak = handle;
    handle.reset();
    expectReleasedIsNoOp(property, weak);
}
