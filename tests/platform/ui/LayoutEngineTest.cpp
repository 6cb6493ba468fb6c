#include "platform/ui/layout/LayoutEngine.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <random>
#include <string>
#include <vector>

namespace platform::ui::layout {
namespace {

using R = Relation;
using A = Attribute;

// A window's root item pinned to (0, 0, width, height) and its safe-area
// guide inset from it, as the view layer sets them up.
struct Window {
    LayoutEngine engine;
    ItemId root = engine.addItem("window");
    ItemId safeArea = engine.addItem("safeArea");
    LayoutConstraintId rootWidth, rootHeight;

    Window(double width, double height, EdgeInsets insets) {
        add({{root, A::left}, R::equal, {}, 1, 0});
        add({{root, A::top}, R::equal, {}, 1, 0});
        rootWidth = add({{root, A::width}, R::equal, {}, 1, width});
        rootHeight = add({{root, A::height}, R::equal, {}, 1, height});
        add({{safeArea, A::left}, R::equal, Anchor{root, A::left}, 1, insets.left});
        add({{safeArea, A::right}, R::equal, Anchor{root, A::right}, 1, -insets.right});
        add({{safeArea, A::top}, R::equal, Anchor{root, A::top}, 1, insets.top});
        add({{safeArea, A::bottom}, R::equal, Anchor{root, A::bottom}, 1, -insets.bottom});
    }
    LayoutConstraintId add(const ConstraintSpec& spec) {
        auto id = engine.addConstraint(spec);
        EXPECT_TRUE(id.has_value()) << engine.describe(spec);
        return id.value_or(LayoutConstraintId{});
    }
};

void expectFrame(const Rect& actual, const Rect& expected) {
    EXPECT_NEAR(actual.origin.x, expected.origin.x, 1e-6);
    EXPECT_NEAR(actual.origin.y, expected.origin.y, 1e-6);
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-6);
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-6);
}

// A bottom sheet: as wide as the window allows up to 500 (priority 250),
// centred, as high as the window, its top 300 above the safe area's bottom.
TEST(LayoutEngineTest, SheetPinnedToTheSafeAreaFollowsTheWindowWidth) {
    struct Case {
        double windowWidth;
        double widthSlack;  // k of width <= window width + k
        Rect sheet;
    };
    // Window 800 high with a 34-point bottom inset: safe bottom 766, top 466.
    const std::vector<Case> cases = {
        {414, 0, {0, 466, 414, 800}},
        {600, 0, {50, 466, 500, 800}},
        {414, -20, {10, 466, 394, 800}},
        {1024, 12, {262, 466, 500, 800}},
    };
    for (const Case& c : cases) {
        Window w(c.windowWidth, 800, {0, 0, 34, 0});
        const ItemId sheet = w.engine.addItem("sheet");
        w.add({{sheet, A::height}, R::equal, Anchor{w.root, A::height}});
        w.add({{sheet, A::centerX}, R::equal, Anchor{w.root, A::centerX}});
        w.add({{sheet, A::width}, R::lessThanOrEqual, Anchor{w.root, A::width}, 1, c.widthSlack});
        w.add({{sheet, A::top}, R::equal, Anchor{w.safeArea, A::bottom}, 1, -300});
        w.add({{sheet, A::width}, R::equal, {}, 1, 500, 250});
        SCOPED_TRACE(c.windowWidth);
        expectFrame(w.engine.frame(sheet), c.sheet);
    }
}

TEST(LayoutEngineTest, ChangedConstantsResolveIncrementallyToTheRightFrames) {
    Window w(414, 800, {44, 0, 34, 0});
    const ItemId sheet = w.engine.addItem("sheet");
    w.add({{sheet, A::height}, R::equal, Anchor{w.root, A::height}});
    w.add({{sheet, A::centerX}, R::equal, Anchor{w.root, A::centerX}});
    w.add({{sheet, A::width}, R::lessThanOrEqual, Anchor{w.root, A::width}});
    const auto top = w.add({{sheet, A::top}, R::equal, Anchor{w.safeArea, A::bottom}});
    w.add({{sheet, A::width}, R::equal, {}, 1, 500, 250});
    // A button in another part of the tree hangs its bottom on the sheet's top.
    const ItemId handle = w.engine.addItem("handle");
    w.add({{handle, A::width}, R::equal, {}, 1, 40});
    w.add({{handle, A::height}, R::equal, {}, 1, 40});
    w.add({{handle, A::centerX}, R::equal, Anchor{sheet, A::centerX}});
    w.add({{handle, A::bottom}, R::equal, Anchor{sheet, A::top}});
    expectFrame(w.engine.frame(sheet), {0, 766, 414, 800});

    struct Step {
        LayoutConstraintId constraint;
        double constant;
        Rect sheet;
        Rect handle;
    };
    const std::vector<Step> steps = {
        {top, -300, {0, 466, 414, 800}, {187, 426, 40, 40}},
        {w.rootWidth, 600, {50, 466, 500, 800}, {280, 426, 40, 40}},
        {w.rootHeight, 900, {50, 566, 500, 900}, {280, 526, 40, 40}},
        {top, -866, {50, 0, 500, 900}, {280, -40, 40, 40}},
        {w.rootWidth, 320, {0, 0, 320, 900}, {140, -40, 40, 40}},
    };
    for (const Step& step : steps) {
        ASSERT_TRUE(w.engine.setConstant(step.constraint, step.constant).has_value());
        expectFrame(w.engine.frame(sheet), step.sheet);
        expectFrame(w.engine.frame(handle), step.handle);
    }
}

TEST(LayoutEngineTest, InequalitiesHoldAtTheirBoundAgainstWeakerWishes) {
    struct Case {
        R relation;
        double bound;
        double priority;  // of the inequality
        double wish;      // x == wish at priority 500
        double x;
    };
    const std::vector<Case> cases = {
        {R::greaterThanOrEqual, 100, 1000, 50, 100},
        {R::lessThanOrEqual, 30, 1000, 50, 30},
        {R::lessThanOrEqual, 80, 1000, 50, 50},
        {R::greaterThanOrEqual, 100, 750, 50, 100},
        {R::greaterThanOrEqual, 100, 250, 50, 50},
    };
    for (const Case& c : cases) {
        LayoutEngine engine;
        const ItemId item = engine.addItem();
        ASSERT_TRUE(engine.addConstraint({{item, A::left}, c.relation, {}, 1, c.bound, c.priority}));
        ASSERT_TRUE(engine.addConstraint({{item, A::left}, R::equal, {}, 1, c.wish, 500}));
        EXPECT_NEAR(engine.frame(item).origin.x, c.x, 1e-6) << c.bound << " @" << c.priority;
    }
}

TEST(LayoutEngineTest, ConflictingRequiredConstraintIsRefusedAndTheRestStaysSolved) {
    Window w(400, 300, {});
    const ItemId box = w.engine.addItem("box");
    w.add({{box, A::left}, R::equal, Anchor{w.root, A::left}, 1, 20});
    w.add({{box, A::right}, R::equal, Anchor{w.root, A::right}, 1, -20});
    w.add({{box, A::top}, R::equal, {}, 1, 10});
    w.add({{box, A::height}, R::greaterThanOrEqual, {}, 1, 50});

    auto conflicting = w.engine.addConstraint({{box, A::width}, R::equal, {}, 1, 200});
    ASSERT_FALSE(conflicting.has_value());
    EXPECT_EQ(conflicting.error().description, "Unable to satisfy constraint, dropping it: box.width == 200");
    auto alsoConflicting = w.engine.addConstraint({{box, A::height}, R::lessThanOrEqual, {}, 1, 40});
    EXPECT_FALSE(alsoConflicting.has_value());
    expectFrame(w.engine.frame(box), {20, 10, 360, 50});

    // Later constraints still work, and a constant that would break a
    // required constraint drops it, keeping the others.
    const auto cap = w.add({{box, A::height}, R::lessThanOrEqual, {}, 1, 80});
    w.add({{box, A::height}, R::equal, {}, 1, 120, 500});
    expectFrame(w.engine.frame(box), {20, 10, 360, 80});
    auto broken = w.engine.setConstant(cap, 30);
    ASSERT_FALSE(broken.has_value());
    EXPECT_EQ(broken.error().description, "Unable to satisfy constraint, dropping it: box.height <= 30");
    EXPECT_FALSE(w.engine.isActive(cap));
    expectFrame(w.engine.frame(box), {20, 10, 360, 120});

    // Values that are not numbers are refused without disturbing anything.
    const double nan = std::numeric_limits<double>::quiet_NaN();
    EXPECT_FALSE(w.engine.addConstraint({{box, A::top}, R::equal, {}, 1, nan}));
    EXPECT_FALSE(w.engine.addConstraint({{box, A::top}, R::equal, Anchor{w.root, A::top}, nan, 0}));
    const auto top = w.add({{box, A::top}, R::greaterThanOrEqual, {}, 1, 0});
    EXPECT_FALSE(w.engine.setConstant(top, std::numeric_limits<double>::infinity()));
    EXPECT_TRUE(w.engine.isActive(top));
    expectFrame(w.engine.frame(box), {20, 10, 360, 120});
}

// Random additions, removals and constant changes (fixed seeds): whatever is
// refused is a required constraint, and every required constraint kept holds.
TEST(LayoutEngineTest, SolverKeepsEveryRequiredConstraintThroughRandomEdits) {
    for (unsigned seed = 0; seed < 25; ++seed) {
        std::mt19937 random(seed);
        Solver solver;
        std::vector<Variable> variables;
        for (int i = 0; i < 12; ++i) variables.push_back(solver.createVariable());
        struct Live {
            ConstraintId id;
            Expression expression;
            R relation;
            bool required;
        };
        std::vector<Live> live;
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const double coefficients[] = {1, -1, 0.5, 2};
        const double priorities[] = {1000, 1000, 750, 500, 250};
        const R relations[] = {R::equal, R::lessThanOrEqual, R::greaterThanOrEqual};
        for (int step = 0; step < 600; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            const int op = pick(10);
            if (op < 6 || live.empty()) {
                Expression e = Expression(variables[pick(12)], coefficients[pick(4)]);
                if (pick(2)) e += Expression(variables[pick(12)], coefficients[pick(4)]);
                e.setConstant(pick(201) - 100);
                const R relation = relations[pick(3)];
                const double priority = priorities[pick(5)];
                auto id = solver.addConstraint(e, relation, priority);
                if (id) live.push_back({*id, e, relation, priority == 1000});
                else EXPECT_EQ(priority, 1000) << id.error().message;
            } else if (op < 8) {
                const auto at = live.begin() + pick(static_cast<int>(live.size()));
                ASSERT_TRUE(solver.removeConstraint(at->id));
                live.erase(at);
            } else {
                Live& c = live[static_cast<std::size_t>(pick(static_cast<int>(live.size())))];
                const double constant = pick(201) - 100;
                if (solver.setConstant(c.id, constant)) c.expression.setConstant(constant);
                else EXPECT_TRUE(c.required);
                EXPECT_EQ(solver.constant(c.id), c.expression.constant());
            }
            for (const Live& c : live) {
                if (!c.required) continue;
                double v = c.expression.constant();
                for (const Term& t : c.expression.terms()) v += t.coefficient * solver.value(t.variable);
                if (c.relation == R::equal) EXPECT_NEAR(v, 0, 1e-6);
                else if (c.relation == R::lessThanOrEqual) EXPECT_LE(v, 1e-6);
                else EXPECT_GE(v, -1e-6);
            }
        }
    }
}

TEST(LayoutEngineTest, IntrinsicSizeHugsAndResistsCompressionByPriority) {
    struct Case {
        double available;  // label.right <= available (required)
        std::optional<ConstraintSpec> extra;
        double hugging;
        double width;
    };
    const ItemId label{3};  // the third item made below
    const std::vector<Case> cases = {
        {300, {}, 250, 120},                                                    // hugs its text
        {100, {}, 250, 100},                                                    // required edge wins
        {300, ConstraintSpec{{label, A::width}, R::equal, {}, 1, 200, 500}, 250, 200},  // stronger wish stretches it
        {300, ConstraintSpec{{label, A::width}, R::equal, {}, 1, 200, 500}, 750, 120},  // unless it hugs harder
        {300, ConstraintSpec{{label, A::width}, R::equal, {}, 1, 60, 500}, 250, 120},   // compression resistance 750
    };
    for (const Case& c : cases) {
        Window w(400, 100, {});
        ASSERT_EQ(w.engine.addItem("label"), label);
        w.engine.setIntrinsicContentSize(label, {120, 20});
        w.engine.setContentHuggingPriority(label, Axis::horizontal, c.hugging);
        w.add({{label, A::left}, R::equal, {}, 1, 0});
        w.add({{label, A::top}, R::equal, {}, 1, 0});
        w.add({{label, A::right}, R::lessThanOrEqual, {}, 1, c.available});
        if (c.extra) w.add(*c.extra);
        expectFrame(w.engine.frame(label), {0, 0, c.width, 20});
    }
}

TEST(LayoutEngineTest, RemovingConstraintsAndEditingVariablesKeepTheSolutionRight) {
    Solver solver;
    const Variable x = solver.createVariable();
    const Variable y = solver.createVariable();
    ASSERT_TRUE(solver.addConstraint(Expression(x) - 100, R::lessThanOrEqual));
    ASSERT_TRUE(solver.addConstraint(Expression(y) - Expression(x) - 10, R::equal));
    ASSERT_TRUE(solver.addEditVariable(x, 999));
    struct Step {
        double suggested;
        double x;
    };
    for (const Step& s : std::vector<Step>{{50, 50}, {150, 100}, {-20, -20}, {100, 100}}) {
        ASSERT_TRUE(solver.suggestValue(x, s.suggested));
        EXPECT_NEAR(solver.value(x), s.x, 1e-9);
        EXPECT_NEAR(solver.value(y), s.x + 10, 1e-9);
    }

    // A chain of 50 items laid left to right; changing each gap in turn moves
    // every item after it, and removing the caps lets widths grow.
    LayoutEngine engine;
    std::vector<ItemId> items;
    std::vector<LayoutConstraintId> gaps, caps;
    for (int i = 0; i < 50; ++i) {
        items.push_back(engine.addItem());
        const Anchor previous = i == 0 ? Anchor{items[0], A::left} : Anchor{items[i - 1], A::right};
        if (i == 0) ASSERT_TRUE(engine.addConstraint({{items[0], A::left}, R::equal, {}, 1, 0}));
        else gaps.push_back(*engine.addConstraint({{items[i], A::left}, R::equal, previous, 1, 1}));
        caps.push_back(*engine.addConstraint({{items[i], A::width}, R::lessThanOrEqual, {}, 1, 10}));
        ASSERT_TRUE(engine.addConstraint({{items[i], A::width}, R::equal, {}, 1, 20, 300}));
    }
    // Removing an item takes its constraints with it.
    const ItemId spare = engine.addItem();
    ASSERT_TRUE(engine.addConstraint({{spare, A::left}, R::equal, Anchor{items[3], A::left}, 1, 0}));
    ASSERT_TRUE(engine.addConstraint({{items[3], A::width}, R::equal, Anchor{spare, A::width}, 1, 0, 750}));
    const std::size_t before = engine.constraintCount();
    engine.removeItem(spare);
    EXPECT_EQ(engine.constraintCount(), before - 2);

    for (std::size_t g = 0; g < gaps.size(); g += 7) ASSERT_TRUE(engine.setConstant(gaps[g], 5));
    for (std::size_t c = 0; c < caps.size(); c += 2) ASSERT_TRUE(engine.removeConstraint(caps[c]));
    double x0 = 0;
    for (int i = 0; i < 50; ++i) {
        if (i > 0) x0 += (i - 1) % 7 == 0 ? 5 : 1;
        const double width = i % 2 == 0 ? 20 : 10;
        expectFrame(engine.frame(items[i]), {x0, 0, width, 0});
        x0 += width;
    }
}

// Many preferred constraints on one size: where their weighted errors
// balance (a priority p weighs 10^(p/200)), within what required ones allow;
// and the balance follows as wishes come, go and move.
TEST(LayoutEngineTest, WishesOnOneSizeSettleWhereTheirWeightsBalance) {
    struct Wish {
        R relation;
        double width;
        double priority;
        int copies = 1;
    };
    struct Case {
        std::string name;
        std::vector<Wish> wishes;
        double width;
    };
    const std::vector<Case> cases = {
        {"the middle of equal wishes", {{R::equal, 100, 500}, {R::equal, 300, 500}, {R::equal, 200, 500}}, 200},
        {"two against one", {{R::equal, 300, 500}, {R::equal, 100, 500, 2}}, 100},
        {"one strong against many weak", {{R::equal, 300, 750}, {R::equal, 100, 250, 50}}, 300},
        {"many weak against one", {{R::equal, 300, 500}, {R::equal, 100, 250, 30}}, 100},
        {"a floor above a wish", {{R::greaterThanOrEqual, 150, 750}, {R::equal, 100, 250}}, 150},
        {"a wish between a ceiling and a floor",
         {{R::lessThanOrEqual, 120, 500}, {R::greaterThanOrEqual, 130, 500}, {R::equal, 200, 250}},
         130},
        {"a required cap", {{R::equal, 300, 999, 3}, {R::lessThanOrEqual, 80, 1000}}, 80},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        LayoutEngine engine;
        const ItemId item = engine.addItem("item");
        for (const Wish& wish : c.wishes)
            for (int i = 0; i < wish.copies; ++i)
                ASSERT_TRUE(engine.addConstraint({{item, A::width}, wish.relation, {}, 1, wish.width, wish.priority}));
        EXPECT_NEAR(engine.frame(item).size.width, c.width, 1e-6);
    }

    // 101 equal wishes at 0, 1, …, 100 (added out of order) hold the middle
    // one; taking the 20 lowest moves it, and so does moving one across.
    LayoutEngine engine;
    const ItemId item = engine.addItem("item");
    std::vector<LayoutConstraintId> wishes(101);
    for (int i = 0; i < 101; ++i) {
        const int at = (i * 37) % 101;
        wishes[static_cast<std::size_t>(at)] = *engine.addConstraint({{item, A::width}, R::equal, {}, 1, double(at), 400});
    }
    EXPECT_NEAR(engine.frame(item).size.width, 50, 1e-6);
    for (std::size_t i = 0; i < 20; ++i) ASSERT_TRUE(engine.removeConstraint(wishes[i]));
    EXPECT_NEAR(engine.frame(item).size.width, 60, 1e-6);
    ASSERT_TRUE(engine.setConstant(wishes[100], -1000));  // 100 → −1000: the middle steps down one
    EXPECT_NEAR(engine.frame(item).size.width, 59, 1e-6);
    ASSERT_TRUE(engine.addConstraint({{item, A::width}, R::lessThanOrEqual, {}, 1, 30}));
    EXPECT_NEAR(engine.frame(item).size.width, 30, 1e-6);
}

// Random edits over a few variables (wishes piling up on the same forms,
// chains of offsets, required bounds): after every step the weighted error of
// the preferred constraints is what a solver made from scratch with the same
// constraints reaches, and every required constraint holds.
TEST(LayoutEngineTest, IncrementalEditsReachTheOptimumOfASolveFromScratch) {
    struct Live {
        ConstraintId id;
        Expression expression;
        R relation;
        double priority;
    };
    const auto error = [](const Solver& solver, const Live& c) {
        double v = c.expression.constant();
        for (const Term& t : c.expression.terms()) v += t.coefficient * solver.value(t.variable);
        return c.relation == R::equal ? std::fabs(v) : c.relation == R::lessThanOrEqual ? std::max(0.0, v)
                                                                                       : std::max(0.0, -v);
    };
    const auto weightedError = [&](const Solver& solver, const std::vector<Live>& live) {
        double total = 0;
        for (const Live& c : live)
            if (c.priority < 1000) total += std::pow(10.0, c.priority / 200) * error(solver, c);
        return total;
    };
    for (unsigned seed = 0; seed < 8; ++seed) {
        std::mt19937 random(seed);
        const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const int count = 2 + static_cast<int>(seed % 4) * 2;
        Solver solver;
        std::vector<Variable> variables;
        for (int i = 0; i < count; ++i) variables.push_back(solver.createVariable());
        std::vector<Live> live;
        const double coefficients[] = {1, -1, 0.5, 2};
        const double priorities[] = {1000, 999, 750, 500, 500, 250, 1};
        const R relations[] = {R::equal, R::lessThanOrEqual, R::greaterThanOrEqual};
        for (int step = 0; step < 160; ++step) {
            SCOPED_TRACE("seed " + std::to_string(seed) + " step " + std::to_string(step));
            const int op = pick(10);
            if (op < 6 || live.empty()) {
                const int v = pick(count);
                Expression e;
                if (v > 0 && pick(3) == 0) e = Expression(variables[v]) - Expression(variables[v - 1]);  // a link
                else e = Expression(variables[v], coefficients[pick(4)]);
                if (pick(3) == 0) e += Expression(variables[pick(count)], coefficients[pick(4)]);
                e.setConstant(pick(201) - 100);
                const Live c{{}, e, relations[pick(3)], priorities[pick(7)]};
                auto id = solver.addConstraint(c.expression, c.relation, c.priority);
                if (id) live.push_back({*id, c.expression, c.relation, c.priority});
                else EXPECT_EQ(c.priority, 1000) << id.error().message;
            } else if (op < 8) {
                const auto at = live.begin() + pick(static_cast<int>(live.size()));
                ASSERT_TRUE(solver.removeConstraint(at->id));
                live.erase(at);
            } else {
                Live& c = live[static_cast<std::size_t>(pick(static_cast<int>(live.size())))];
                const double constant = pick(201) - 100;
                if (solver.setConstant(c.id, constant)) c.expression.setConstant(constant);
                else EXPECT_EQ(c.priority, 1000);
            }
            Solver scratch;
            for (int i = 0; i < count; ++i) (void)scratch.createVariable();
            for (const Live& c : live) ASSERT_TRUE(scratch.addConstraint(c.expression, c.relation, c.priority));
            for (const Live& c : live) {
                if (c.priority >= 1000) {
                    ASSERT_NEAR(error(solver, c), 0, 1e-6);
                }
            }
            const double expected = weightedError(scratch, live);
            ASSERT_NEAR(weightedError(solver, live), expected, 1e-6 * std::max(1.0, expected));
        }
    }
}

}  // namespace
}  // namespace platform::ui::layout
