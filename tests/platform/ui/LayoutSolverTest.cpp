#include "platform/ui/layout/Solver.hpp"
#include "support/layout/BaselineSolver.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <vector>

namespace platform::ui::layout {
namespace {

using R = Relation;

// One step of a generated system, over variables by index.
struct Step {
    enum class Kind { add, remove, setConstant, addEdit, suggest } kind = Kind::add;
    std::vector<std::pair<int, double>> terms;  // add: the expression's terms; addEdit, suggest: the variable
    double constant = 0;                        // add, setConstant, suggest: the value
    R relation = R::equal;
    double priority = Solver::required;
    int target = 0;  // remove, setConstant: the index of the add step
    bool leavesFree = false;  // leaves a variable undetermined until the next step
};

// What a solver made of the steps: after each, whether it was taken (or the
// kind of refusal), every variable's value, and the weighted error of the
// preferred constraints then held, with the worst violation of a required one
// (relative to the size of its terms: solutions near ±1e7 round).
struct Trace {
    std::vector<std::optional<SolverError::Kind>> refusals;
    std::vector<std::vector<double>> values;
    std::vector<double> weightedErrors;
    std::vector<double> requiredViolations;
};

template <class S, class Var, class Expr>
Trace run(int variableCount, const std::vector<Step>& steps) {
    S solver;
    std::vector<Var> variables;
    for (int i = 0; i < variableCount; ++i) variables.push_back(solver.createVariable());
    using Id = std::remove_cvref_t<decltype(solver.addConstraint(Expr(), R::equal).value())>;
    struct Live {
        Id id;
        std::size_t step;
        double constant;
    };
    std::vector<std::optional<Live>> live(steps.size());
    Trace trace;
    for (std::size_t i = 0; i < steps.size(); ++i) {
        const Step& step = steps[i];
        std::optional<SolverError::Kind> refusal;
        const auto note = [&](const auto& result) {
            if (!result) refusal = result.error().kind;
        };
        switch (step.kind) {
        case Step::Kind::add: {
            Expr e(step.constant);
            for (const auto& [v, k] : step.terms) e += Expr(variables[static_cast<std::size_t>(v)], k);
            auto id = solver.addConstraint(e, step.relation, step.priority);
            note(id);
            if (id) live[i] = Live{*id, i, step.constant};
            break;
        }
        case Step::Kind::remove: {
            auto& target = live[static_cast<std::size_t>(step.target)];
            EXPECT_EQ(solver.removeConstraint(target ? target->id : Id{}), target.has_value());
            target.reset();
            break;
        }
        case Step::Kind::setConstant: {
            auto& target = live[static_cast<std::size_t>(step.target)];
            if (!target) break;
            auto done = solver.setConstant(target->id, step.constant);
            note(done);
            if (done) target->constant = step.constant;
            break;
        }
        case Step::Kind::addEdit:
            note(solver.addEditVariable(variables[static_cast<std::size_t>(step.terms[0].first)], step.priority));
            break;
        case Step::Kind::suggest:
            note(solver.suggestValue(variables[static_cast<std::size_t>(step.terms[0].first)], step.constant));
            break;
        }
        trace.refusals.push_back(refusal);
        std::vector<double> values;
        for (const Var& v : variables) values.push_back(solver.value(v));
        double weighted = 0, violation = 0;
        for (const auto& c : live) {
            if (!c) continue;
            const Step& added = steps[c->step];
            double e = c->constant;
            double scale = std::max(1.0, std::fabs(c->constant));
            for (const auto& [v, k] : added.terms) {
                e += k * values[static_cast<std::size_t>(v)];
                scale += std::fabs(k * values[static_cast<std::size_t>(v)]);
            }
            const double error = added.relation == R::equal            ? std::fabs(e)
                                 : added.relation == R::lessThanOrEqual ? std::max(0.0, e)
                                                                        : std::max(0.0, -e);
            if (added.priority >= Solver::required) violation = std::max(violation, error / scale);
            else weighted += std::pow(10.0, added.priority / 200) * error;
        }
        trace.values.push_back(std::move(values));
        trace.weightedErrors.push_back(weighted);
        trace.requiredViolations.push_back(violation);
    }
    return trace;
}

Step add(std::vector<std::pair<int, double>> terms, double constant, R relation = R::equal,
         double priority = Solver::required) {
    return {Step::Kind::add, std::move(terms), constant, relation, priority, 0};
}
Step removal(int target) { return {Step::Kind::remove, {}, 0, R::equal, 0, target}; }
Step newConstant(int target, double constant) { return {Step::Kind::setConstant, {}, constant, R::equal, 0, target}; }

// A grid of boxes as a screen lays them out (left, top, width, height per
// box): rows chained left to right with gaps, preferred widths that the
// row's end squeezes, then the window's width changed, a drag on one width,
// and links removed.
std::vector<Step> grid(int rows, int columns, int& variables) {
    std::vector<Step> steps;
    const auto var = [](int box, int attribute) { return box * 4 + attribute; };
    const int window = 0;
    steps.push_back(add({{var(window, 0), 1}}, 0));
    const int windowTop = static_cast<int>(steps.size());
    steps.push_back(add({{var(window, 1), 1}}, 0));
    const int windowWidth = static_cast<int>(steps.size());
    steps.push_back(add({{var(window, 2), 1}}, -414));
    std::vector<int> links, tops;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const int box = 1 + r * columns + c;
            if (c == 0) steps.push_back(add({{var(box, 0), 1}, {var(window, 0), -1}}, -16));
            else steps.push_back(add({{var(box, 0), 1}, {var(box - 1, 0), -1}, {var(box - 1, 2), -1}}, -8));
            links.push_back(static_cast<int>(steps.size()) - 1);
            if (r == 0) tops.push_back(static_cast<int>(steps.size()));
            if (r == 0) steps.push_back(add({{var(box, 1), 1}, {var(window, 1), -1}}, -4));
            else steps.push_back(add({{var(box, 1), 1}, {var(box - columns, 1), -1}, {var(box - columns, 3), -1}}, -4));
            steps.push_back(add({{var(box, 2), 1}}, -100 - 10 * c, R::equal, 250 + 100 * (c % 3)));
            steps.push_back(add({{var(box, 3), 1}}, -24));
        }
        const int last = (r + 1) * columns;
        steps.push_back(add({{var(last, 0), 1}, {var(last, 2), 1}, {var(window, 2), -1}}, 16, R::lessThanOrEqual));
    }
    steps.push_back(newConstant(windowWidth, -900));
    steps.push_back(newConstant(windowWidth, -320));
    const int dragged = var(1 + columns / 2, 2);
    steps.push_back({Step::Kind::addEdit, {{dragged, 1}}, 0, R::equal, 999, 0});
    for (double width : {40.0, 500.0, 10.0}) steps.push_back({Step::Kind::suggest, {{dragged, 1}}, width, R::equal, 0, 0});
    for (std::size_t i = 1; i < links.size(); i += 3) steps.push_back(removal(links[i]));
    // Tops of the first row replaced, front to back: rows that refer to the
    // window's top taken out of its column and put back.
    for (std::size_t i = 0; i < tops.size(); ++i) {
        steps.push_back(removal(tops[i]));
        steps.back().leavesFree = true;
        const int box = 1 + static_cast<int>(i);
        steps.push_back(add({{var(box, 1), 1}, {var(window, 1), -1}}, -6));
    }
    steps.push_back(newConstant(windowTop, -10));  // every row moves down
    variables = (1 + rows * columns) * 4;
    return steps;
}

// A chain of sizes with wishes that cannot all hold (equal and inequality
// wishes at several priorities on the same sizes), required caps, and
// required constraints that contradict the others (refused).
std::vector<Step> chainOfWishes(int length, int& variables) {
    std::vector<Step> steps;
    steps.push_back(add({{0, 1}}, 0));
    for (int i = 1; i < length; ++i) {
        steps.push_back(add({{2 * i, 1}, {2 * i - 2, -1}, {2 * i - 1, -1}}, -2));  // x_i = x_{i-1} + w_{i-1} + 2
        steps.push_back(add({{2 * i - 1, 1}}, -30 - i, R::equal, 300 + 50 * (i % 5)));
        steps.push_back(add({{2 * i - 1, 1}}, -5 * i, R::lessThanOrEqual, 200 + 100 * (i % 3)));
        steps.push_back(add({{2 * i - 1, 1}}, -40, R::greaterThanOrEqual, 1 + i % 7));
        if (i % 4 == 0) steps.push_back(add({{2 * i - 1, 1}}, -20, R::lessThanOrEqual));  // a required cap
    }
    steps.push_back(add({{0, 1}}, -5));                                           // contradicts x_0 = 0: refused
    steps.push_back(add({{2 * length - 2, 1}}, -1000, R::lessThanOrEqual, 999));  // a wish pulling the end in
    steps.push_back(add({{1, 1}, {3, 1}}, -50, R::greaterThanOrEqual));
    steps.push_back(add({{1, 1}, {3, 1}}, 10, R::lessThanOrEqual));  // contradicts the last one: refused
    for (int i = 3; i < static_cast<int>(steps.size()); i += 5) steps.push_back(removal(i));
    for (int i = 2; i < static_cast<int>(steps.size()); i += 7) steps.push_back(newConstant(i, -15));
    variables = 2 * length;
    return steps;
}

// Random steps over a few variables (fixed seed): links, sums with
// coefficients, all relations and priorities, removals and new constants,
// solutions pushed towards the ±1e7 limit.
std::vector<Step> randomMix(unsigned seed, int& variables) {
    std::mt19937 random(seed);
    const auto pick = [&](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
    variables = 4 + static_cast<int>(seed % 5);
    const double coefficients[] = {1, -1, 0.5, 2, 1e3};
    const double priorities[] = {1000, 1000, 999, 750, 500, 250, 1};
    const double constants[] = {0, 10, -25, 100, -9.9e6};
    const R relations[] = {R::equal, R::lessThanOrEqual, R::greaterThanOrEqual};
    std::vector<Step> steps;
    std::vector<int> adds;
    for (int i = 0; i < 150; ++i) {
        const int op = pick(10);
        if (op < 6 || adds.empty()) {
            std::vector<std::pair<int, double>> terms{{pick(variables), coefficients[pick(5)]}};
            if (pick(2)) terms.emplace_back(pick(variables), coefficients[pick(4)]);
            adds.push_back(static_cast<int>(steps.size()));
            steps.push_back(add(terms, constants[pick(5)] + pick(7), relations[pick(3)], priorities[pick(7)]));
        } else if (op < 8) {
            steps.push_back(removal(adds[static_cast<std::size_t>(pick(static_cast<int>(adds.size())))]));
        } else {
            steps.push_back(newConstant(adds[static_cast<std::size_t>(pick(static_cast<int>(adds.size())))],
                                        constants[pick(5)] - pick(50)));
        }
    }
    return steps;
}

// The solver and its baseline (the solver before its rows, columns and
// objective were reworked for speed) given the same generated systems take
// and refuse the same steps for the same reasons and reach the same optimum:
// the same weighted error, every required constraint held, and, where the
// system determines every variable, the same values.
TEST(LayoutSolverTest, GeneratedSystemsMatchTheBaselineSolverStepByStep) {
    struct Case {
        std::string name;
        std::function<std::vector<Step>(int&)> generate;
        bool determined;
    };
    std::vector<Case> cases = {
        {"grid 3x4", [](int& n) { return grid(3, 4, n); }, true},
        {"grid 12x10", [](int& n) { return grid(12, 10, n); }, true},
        {"grid 3x80", [](int& n) { return grid(3, 80, n); }, true},
        {"chain of wishes", [](int& n) { return chainOfWishes(40, n); }, false},
    };
    for (unsigned seed = 0; seed < 12; ++seed)
        cases.push_back({"random " + std::to_string(seed), [seed](int& n) { return randomMix(seed, n); }, false});
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        int variables = 0;
        const std::vector<Step> steps = c.generate(variables);
        const Trace now = run<Solver, Variable, Expression>(variables, steps);
        const Trace before =
            run<baseline_layout::BaselineSolver, baseline_layout::Variable, baseline_layout::Expression>(variables,
                                                                                                         steps);
        int refused = 0;
        for (std::size_t i = 0; i < steps.size(); ++i) {
            SCOPED_TRACE("step " + std::to_string(i));
            ASSERT_EQ(now.refusals[i], before.refusals[i]);
            refused += now.refusals[i].has_value();
            // Near ±1e7 with coefficients of 1e3 double rounding shows: no
            // worse than before.
            ASSERT_LE(now.requiredViolations[i], std::max(1e-6, 2 * before.requiredViolations[i]));
            ASSERT_NEAR(now.weightedErrors[i], before.weightedErrors[i], 1e-6 * std::max(1.0, before.weightedErrors[i]));
            if (!c.determined || steps[i].leavesFree) continue;
            for (std::size_t v = 0; v < now.values[i].size(); ++v) {
                ASSERT_NEAR(now.values[i][v], before.values[i][v], 1e-6) << "variable " << v;
            }
        }
        if (c.name == "chain of wishes") {
            EXPECT_EQ(refused, 2);
        }
    }
}

// A variable is given back only once nothing uses it, and its number then
// serves a new variable that solves like any other.
TEST(LayoutSolverTest, ReleasedVariablesAreReusedOnlyOnceUnconstrained) {
    Solver solver;
    const Variable x = solver.createVariable();
    const Variable y = solver.createVariable();
    const Variable z = solver.createVariable();
    const ConstraintId pinned = *solver.addConstraint(Expression(x) - 10, R::equal);
    const ConstraintId linked = *solver.addConstraint(Expression(z) - Expression(x) - 5, R::equal);
    ASSERT_TRUE(solver.addEditVariable(y, 500));
    EXPECT_FALSE(solver.releaseVariable(x));  // in constraints
    EXPECT_FALSE(solver.releaseVariable(y));  // being edited
    EXPECT_FALSE(solver.releaseVariable(Variable()));
    ASSERT_TRUE(solver.removeConstraint(linked));
    EXPECT_TRUE(solver.releaseVariable(z));
    EXPECT_FALSE(solver.releaseVariable(z));  // once
    ASSERT_TRUE(solver.removeEditVariable(y));
    EXPECT_TRUE(solver.releaseVariable(y));
    EXPECT_NEAR(solver.value(x), 10, 1e-9);

    const Variable a = solver.createVariable();
    const Variable b = solver.createVariable();
    EXPECT_TRUE((a == y || a == z) && (b == y || b == z) && !(a == b));
    EXPECT_EQ(solver.value(a), 0);
    ASSERT_TRUE(solver.addConstraint(Expression(a) - Expression(x) - 1, R::equal));
    ASSERT_TRUE(solver.addConstraint(Expression(b) - 2.0 * Expression(a), R::greaterThanOrEqual));
    ASSERT_TRUE(solver.addConstraint(Expression(b), R::equal, 250));
    EXPECT_NEAR(solver.value(a), 11, 1e-9);
    EXPECT_NEAR(solver.value(b), 22, 1e-9);
    ASSERT_TRUE(solver.removeConstraint(pinned));
    EXPECT_FALSE(solver.releaseVariable(x));  // still in a's constraint
}

}  // namespace
}  // namespace platform::ui::layout
