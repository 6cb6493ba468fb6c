// Constraint layout of a full screen: 300 items in 30 rows of 10 under a
// window and its safe-area guide, about 1,200 constraints (edges chained,
// preferred widths at priority 250, fixed heights, rows kept
// inside the window). Solved from scratch, then re-solved after one constant
// changes (incrementally: the counter `ratio` is the re-solve's time over the
// from-scratch time).
//
// The solver alone against its baseline (the solver as it was before its
// from-scratch path was reworked, tests/support/layout/BaselineSolver), both
// on the same system in the same run, each iteration timing one and then the
// other: the same screen built from scratch at 30 rows (~1,200 constraints)
// and 250 rows (~10,000), every frame read once; and on the 30-row screen the
// incremental paths: a drag (an edit variable's suggested value), the
// window's width changed, one constraint added and removed (timed in
// batches of 64 steps). Counters: `baseline_ms` (from scratch) or
// `step_us` and `baseline_step_us` (incremental, per step), and `speedup`,
// the baseline's time over the current one's (above 1: faster now).
// Teardown is not timed.
//
// Scaling, beside that from-scratch figure: many preferred constraints on one
// item (added, then removed), and a chain of items (each one's left edge on
// the previous one's right) removed and added again with its constraints;
// the time per constraint or per item should not grow with their number.
#include "platform/ui/layout/LayoutEngine.hpp"
#include "support/layout/BaselineSolver.hpp"

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <type_traits>
#include <utility>
#include <vector>

namespace {

using namespace platform::ui::layout;
using A = Attribute;
using R = Relation;

struct Screen {
    std::unique_ptr<LayoutEngine> engine = std::make_unique<LayoutEngine>();
    ItemId root, safeArea;
    LayoutConstraintId windowWidth, safeTop, oneGap;
    std::vector<ItemId> items;
};

Screen buildScreen(int rows = 30) {
    Screen s;
    LayoutEngine& e = *s.engine;
    s.root = e.addItem("window");
    s.safeArea = e.addItem("safeArea");
    (void)e.addConstraint({{s.root, A::left}, R::equal, {}, 1, 0});
    (void)e.addConstraint({{s.root, A::top}, R::equal, {}, 1, 0});
    s.windowWidth = *e.addConstraint({{s.root, A::width}, R::equal, {}, 1, 414});
    (void)e.addConstraint({{s.root, A::height}, R::equal, {}, 1, 896});
    (void)e.addConstraint({{s.safeArea, A::left}, R::equal, Anchor{s.root, A::left}});
    (void)e.addConstraint({{s.safeArea, A::right}, R::equal, Anchor{s.root, A::right}});
    s.safeTop = *e.addConstraint({{s.safeArea, A::top}, R::equal, Anchor{s.root, A::top}, 1, 44});
    (void)e.addConstraint({{s.safeArea, A::bottom}, R::equal, Anchor{s.root, A::bottom}, 1, -34});
    constexpr int columns = 10;
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const ItemId item = e.addItem();
            const Anchor leading = c == 0 ? Anchor{s.safeArea, A::left} : Anchor{s.items.back(), A::right};
            const auto gap = e.addConstraint({{item, A::left}, R::equal, leading, 1, c == 0 ? 16.0 : 8.0});
            if (r == rows / 2 && c == columns / 2) s.oneGap = *gap;
            const Anchor above = r == 0 ? Anchor{s.safeArea, A::top} : Anchor{s.items[s.items.size() - columns], A::bottom};
            (void)e.addConstraint({{item, A::top}, R::equal, above, 1, 4});
            (void)e.addConstraint({{item, A::width}, R::equal, {}, 1, 100, 250});
            (void)e.addConstraint({{item, A::height}, R::equal, {}, 1, 24});
            s.items.push_back(item);
        }
        (void)e.addConstraint({{s.items.back(), A::right}, R::lessThanOrEqual, Anchor{s.safeArea, A::right}, 1, -16});
    }
    return s;
}

double secondsToSolveFromScratch() {
    constexpr int runs = 5;
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < runs; ++i) {
        Screen s = buildScreen();
        benchmark::DoNotOptimize(s.engine->frame(s.items.back()));
    }
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count() / runs;
}

void BM_SolveScreenFromScratch(benchmark::State& state) {
    std::size_t constraints = 0;
    for (auto _ : state) {
        Screen s = buildScreen(static_cast<int>(state.range(0)));
        benchmark::DoNotOptimize(s.engine->frame(s.items.back()));
        constraints = s.engine->constraintCount();
    }
    state.counters["constraints"] = static_cast<double>(constraints);
}
BENCHMARK(BM_SolveScreenFromScratch)->Arg(30)->Arg(250)->Unit(benchmark::kMillisecond);

// state.range(0): 0 = one gap in the middle of the screen, 1 = the safe
// area's top (moves every row), 2 = the window's width (every item's width).
void BM_ResolveAfterOneConstantChanges(benchmark::State& state) {
    const double scratch = secondsToSolveFromScratch();
    Screen s = buildScreen();
    const LayoutConstraintId changed = state.range(0) == 0 ? s.oneGap : state.range(0) == 1 ? s.safeTop : s.windowWidth;
    const double values[2][3] = {{8, 44, 414}, {20, 20, 600}};
    int flip = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        flip ^= 1;
        (void)s.engine->setConstant(changed, values[flip][state.range(0)]);
        benchmark::DoNotOptimize(s.engine->frame(s.items.back()));
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["scratch_us"] = scratch * 1e6;
    state.counters["ratio"] = elapsed / static_cast<double>(state.iterations()) / scratch;
}
BENCHMARK(BM_ResolveAfterOneConstantChanges)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond);

// ---- The solver alone, beside its baseline ----

using Clock = std::chrono::steady_clock;

double secondsSince(Clock::time_point start) { return std::chrono::duration<double>(Clock::now() - start).count(); }

// The screen above written directly as solver constraints (an item's right
// is left + width, its bottom top + height, as the engine writes them), for
// either solver.
template <class S, class Var, class Expr>
struct SolverScreen {
    struct Box {
        Var left, top, width, height;
        Expr right() const { return Expr(left) + Expr(width); }
        Expr bottom() const { return Expr(top) + Expr(height); }
    };
    std::unique_ptr<S> solver = std::make_unique<S>();
    Box root, safe;
    std::vector<Box> items;
    std::remove_cvref_t<decltype(std::declval<S&>().addConstraint(Expr(), R::equal).value())> windowWidth{};

    Box box() {
        return {solver->createVariable(), solver->createVariable(), solver->createVariable(), solver->createVariable()};
    }
    auto add(const Expr& e, R relation, double priority = 1000) { return *solver->addConstraint(e, relation, priority); }

    explicit SolverScreen(int rows) {
        constexpr int columns = 10;
        root = box();
        safe = box();
        add(Expr(root.left), R::equal);
        add(Expr(root.top), R::equal);
        windowWidth = add(Expr(root.width) - 414, R::equal);
        add(Expr(root.height) - 896, R::equal);
        add(Expr(safe.left) - Expr(root.left), R::equal);
        add(safe.right() - root.right(), R::equal);
        add(Expr(safe.top) - Expr(root.top) - 44, R::equal);
        add(safe.bottom() - root.bottom() + 34, R::equal);
        items.reserve(static_cast<std::size_t>(rows * columns));
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns; ++c) {
                const Box item = box();
                add(Expr(item.left) - (c == 0 ? Expr(safe.left) + 16 : items.back().right() + 8), R::equal);
                add(Expr(item.top) - (r == 0 ? Expr(safe.top) : items[items.size() - columns].bottom()) - 4, R::equal);
                add(Expr(item.width) - 100, R::equal, 250);
                add(Expr(item.height) - 24, R::equal);
                items.push_back(item);
            }
            add(items.back().right() - safe.right() + 16, R::lessThanOrEqual);
        }
    }

    // What a layout pass reads: every item's frame.
    double readFrames() const {
        double sum = 0;
        for (const Box& b : items)
            sum += solver->value(b.left) + solver->value(b.top) + solver->value(b.width) + solver->value(b.height);
        return sum;
    }
};

using CurrentScreen = SolverScreen<Solver, Variable, Expression>;
using BaselineScreen =
    SolverScreen<baseline_layout::BaselineSolver, baseline_layout::Variable, baseline_layout::Expression>;

void BM_SolverScreenFromScratchBesideBaseline(benchmark::State& state) {
    const int rows = static_cast<int>(state.range(0));
    double current = 0, baseline = 0;
    std::size_t constraints = 0;
    bool baselineFirst = false;
    for (auto _ : state) {
        // Which one goes first alternates: the second runs on the heap the
        // first has just grown.
        std::optional<CurrentScreen> a;
        std::optional<BaselineScreen> b;
        double t = 0;
        const auto runCurrent = [&] {
            const auto start = Clock::now();
            a.emplace(rows);
            benchmark::DoNotOptimize(a->readFrames());
            t = secondsSince(start);
        };
        const auto runBaseline = [&] {
            const auto start = Clock::now();
            b.emplace(rows);
            benchmark::DoNotOptimize(b->readFrames());
            baseline += secondsSince(start);
        };
        if (baselineFirst) runBaseline();
        runCurrent();
        if (!baselineFirst) runBaseline();
        baselineFirst = !baselineFirst;
        current += t;
        state.SetIterationTime(t);
        constraints = a->solver->constraintCount();
        state.PauseTiming();
        a.reset();
        b.reset();
        state.ResumeTiming();
    }
    state.counters["constraints"] = static_cast<double>(constraints);
    state.counters["baseline_ms"] = baseline / static_cast<double>(state.iterations()) * 1e3;
    state.counters["speedup"] = baseline / current;
}
BENCHMARK(BM_SolverScreenFromScratchBesideBaseline)
    ->Arg(30)->Arg(250)->Unit(benchmark::kMillisecond)->UseManualTime();

// state.range(0): 0 = a drag (the middle item's width an edit variable at
// priority 999, a new value suggested each time: the rest of its row moves), 1 = the window's width
// changed, 2 = one constraint added to the middle item and removed again.
template <class Screen>
void incrementalStep(Screen& s, int kind, int flip) {
    auto& solver = *s.solver;
    const auto& middle = s.items[s.items.size() / 2];
    using Expr = std::decay_t<decltype(s.root.right())>;
    switch (kind) {
    case 0: (void)solver.suggestValue(middle.width, flip ? 40.0 : 60.0); break;
    case 1: (void)solver.setConstant(s.windowWidth, flip ? -600.0 : -414.0); break;
    default: {
        const auto id = solver.addConstraint(Expr(middle.width) - 30, R::lessThanOrEqual);
        solver.removeConstraint(*id);
        break;
    }
    }
    benchmark::DoNotOptimize(solver.value(s.items.back().left));
}

void BM_SolverIncrementalBesideBaseline(benchmark::State& state) {
    const int kind = static_cast<int>(state.range(0));
    CurrentScreen a(30);
    BaselineScreen b(30);
    if (kind == 0) {
        (void)a.solver->addEditVariable(a.items[a.items.size() / 2].width, 999);
        (void)b.solver->addEditVariable(b.items[b.items.size() / 2].width, 999);
    }
    constexpr int batch = 64;
    double current = 0, baseline = 0;
    int flip = 0;
    for (auto _ : state) {
        auto start = Clock::now();
        for (int i = 0; i < batch; ++i) incrementalStep(a, kind, flip ^= 1);
        const double t = secondsSince(start);
        start = Clock::now();
        for (int i = 0; i < batch; ++i) incrementalStep(b, kind, flip ^= 1);
        baseline += secondsSince(start);
        current += t;
        state.SetIterationTime(t);
    }
    const double steps = static_cast<double>(state.iterations()) * batch;
    state.counters["step_us"] = current / steps * 1e6;
    state.counters["baseline_step_us"] = baseline / steps * 1e6;
    state.counters["speedup"] = baseline / current;
}
BENCHMARK(BM_SolverIncrementalBesideBaseline)->Arg(0)->Arg(1)->Arg(2)->Unit(benchmark::kMicrosecond)->UseManualTime();

void BM_ManyPreferredConstraintsOnOneItem(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    double seconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        LayoutEngine e;
        const ItemId root = e.addItem("window");
        const ItemId item = e.addItem("item");
        (void)e.addConstraint({{root, A::left}, R::equal, {}, 1, 0});
        (void)e.addConstraint({{root, A::width}, R::equal, {}, 1, 414});
        (void)e.addConstraint({{item, A::left}, R::greaterThanOrEqual, Anchor{root, A::left}});
        (void)e.addConstraint({{item, A::right}, R::lessThanOrEqual, Anchor{root, A::right}});
        std::vector<LayoutConstraintId> ids;
        ids.reserve(static_cast<std::size_t>(count));
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < count; ++i) {
            const double k = i % 97;
            const double priority = 1 + (i * 7) % 999;
            ConstraintSpec spec;
            switch (i % 3) {
            case 0: spec = {{item, A::width}, R::equal, {}, 1, 100 + k, priority}; break;
            case 1: spec = {{item, A::width}, R::greaterThanOrEqual, {}, 1, 50 + k, priority}; break;
            default: spec = {{item, A::left}, R::equal, Anchor{root, A::left}, 1, k, priority}; break;
            }
            ids.push_back(*e.addConstraint(spec));
        }
        benchmark::DoNotOptimize(e.frame(item));
        for (const LayoutConstraintId id : ids) e.removeConstraint(id);
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["per_constraint_us"] = seconds / static_cast<double>(state.iterations()) / count * 1e6;
}
BENCHMARK(BM_ManyPreferredConstraintsOnOneItem)
    ->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

void BM_ChainItemsRemovedAndReAdded(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    LayoutEngine e;
    const ItemId root = e.addItem("window");
    (void)e.addConstraint({{root, A::left}, R::equal, {}, 1, 0});
    (void)e.addConstraint({{root, A::top}, R::equal, {}, 1, 0});
    (void)e.addConstraint({{root, A::width}, R::equal, {}, 1, 414});
    std::vector<ItemId> items;
    const auto build = [&] {
        items.clear();
        for (int i = 0; i < count; ++i) {
            const ItemId item = e.addItem();
            const Anchor previous = i == 0 ? Anchor{root, A::left} : Anchor{items.back(), A::right};
            (void)e.addConstraint({{item, A::left}, R::equal, previous, 1, i == 0 ? 0.0 : 1.0});
            (void)e.addConstraint({{item, A::top}, R::equal, Anchor{root, A::top}, 1, 8});
            (void)e.addConstraint({{item, A::width}, R::equal, {}, 1, 10});
            (void)e.addConstraint({{item, A::height}, R::equal, {}, 1, 10});
            items.push_back(item);
        }
    };
    build();
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        for (const ItemId item : items) e.removeItem(item);
        build();
        benchmark::DoNotOptimize(e.frame(items.back()));
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["per_item_us"] = seconds / static_cast<double>(state.iterations()) / count * 1e6;
}
BENCHMARK(BM_ChainItemsRemovedAndReAdded)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
