// Constraint layout of a full screen: 300 items in 30 rows of 10 under a
// window and its safe-area guide, about 1,200 constraints (edges chained,
// preferred widths at priority 250, fixed heights, rows kept
// inside the window). Solved from scratch, then re-solved after one constant
// changes (incrementally: the counter `ratio` is the re-solve's time over the
// from-scratch time).
//
// Scaling, beside that from-scratch figure: many preferred constraints on one
// item (added, then removed), and a chain of items (each one's left edge on
// the previous one's right) removed and added again with its constraints;
// the time per constraint or per item should not grow with their number.
#include "platform/ui/layout/LayoutEngine.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
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

Screen buildScreen() {
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
    constexpr int rows = 30, columns = 10;
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
        Screen s = buildScreen();
        benchmark::DoNotOptimize(s.engine->frame(s.items.back()));
        constraints = s.engine->constraintCount();
    }
    state.counters["constraints"] = static_cast<double>(constraints);
}
BENCHMARK(BM_SolveScreenFromScratch)->Unit(benchmark::kMillisecond);

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
