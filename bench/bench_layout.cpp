// Constraint layout through views, as screens use it: anchors, activation and
// the layout pass that applies the window's solved frames.
//
// - A screen of 300 views in 30 rows of 10 under a window's safe-area guide,
//   about 1,200 constraints (edges chained, preferred widths at priority 250,
//   fixed heights, rows kept inside the safe area): made, activated and laid
//   out from scratch; then one constant changed and laid out again
//   (incremental: the counter `ratio` is that time over the from-scratch one).
// - 200 labels stacked in a column, two lines at most, wrapped to the window's
//   width: their intrinsic sizes measured with Pango and laid out, from
//   scratch and after every text changed.
//
// - Many preferred constraints on one view (equalities and inequalities on
//   its width and left edge at priorities spread over 1–999): activated and
//   laid out, then deactivated; time per constraint should not grow with
//   their number.
// - A chain of views (each one's left edge on the previous one's right)
//   inside a container: the container removed from the window and added back,
//   then laid out; time per view should not grow with their number.
//
// The same screen without views (the engine alone): bench_layout_solver.
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/Window.hpp"

#include <benchmark/benchmark.h>

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace {

using namespace platform::ui;

constexpr Size screenSize{414, 896};

std::shared_ptr<Window> makeWindow() {
    auto window = Window::create(screenSize, 1);
    window->setSafeAreaInsets({44, 0, 34, 0});
    return window;
}

struct Screen {
    std::shared_ptr<Window> window = makeWindow();
    std::vector<std::shared_ptr<View>> views;
    std::vector<LayoutConstraintPtr> constraints;
    LayoutConstraintPtr oneGap;
};

// The views, in the window, not yet constrained.
Screen makeViews() {
    Screen s;
    for (int i = 0; i < 300; ++i) {
        auto view = View::create();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        s.window->addSubview(view);
        s.views.push_back(std::move(view));
    }
    return s;
}

void constrain(Screen& s) {
    constexpr int rows = 30, columns = 10;
    LayoutGuide& safe = s.window->safeAreaLayoutGuide();
    s.constraints.reserve(rows * columns * 4 + rows);
    for (int r = 0; r < rows; ++r) {
        for (int c = 0; c < columns; ++c) {
            const std::size_t index = static_cast<std::size_t>(r * columns + c);
            View& view = *s.views[index];
            auto gap = c == 0 ? view.leftAnchor().constraintEqualTo(safe.leftAnchor(), 16)
                              : view.leftAnchor().constraintEqualTo(s.views[index - 1]->rightAnchor(), 8);
            if (r == rows / 2 && c == columns / 2) s.oneGap = gap;
            s.constraints.push_back(std::move(gap));
            s.constraints.push_back(r == 0 ? view.topAnchor().constraintEqualTo(safe.topAnchor(), 4)
                                           : view.topAnchor().constraintEqualTo(
                                                 s.views[index - columns]->bottomAnchor(), 4));
            auto width = view.widthAnchor().constraintEqualToConstant(100);
            width->setPriority(LayoutPriority::defaultLow);
            s.constraints.push_back(std::move(width));
            s.constraints.push_back(view.heightAnchor().constraintEqualToConstant(24));
        }
        s.constraints.push_back(
            s.views[static_cast<std::size_t>(r * columns + columns - 1)]->rightAnchor().constraintLessThanOrEqualTo(
                safe.rightAnchor(), -16));
    }
    LayoutConstraint::activate(s.constraints);
}

Screen buildScreen() {
    Screen s = makeViews();
    constrain(s);
    s.window->layoutIfNeeded();
    return s;
}

void BM_ViewsSolveScreenFromScratch(benchmark::State& state) {
    std::size_t constraints = 0;
    for (auto _ : state) {
        state.PauseTiming();
        Screen s = makeViews();
        state.ResumeTiming();
        constrain(s);
        s.window->layoutIfNeeded();
        benchmark::DoNotOptimize(s.views.back()->frame());
        constraints = s.constraints.size();
        state.PauseTiming();
        s = Screen{};  // teardown not timed
        state.ResumeTiming();
    }
    state.counters["constraints"] = static_cast<double>(constraints);
}
BENCHMARK(BM_ViewsSolveScreenFromScratch)->Unit(benchmark::kMillisecond);

double secondsToLayOutFromScratch() {
    constexpr int runs = 5;
    double total = 0;
    for (int i = 0; i < runs; ++i) {
        Screen s = makeViews();
        const auto start = std::chrono::steady_clock::now();
        constrain(s);
        s.window->layoutIfNeeded();
        total += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
        benchmark::DoNotOptimize(s.views.back()->frame());
    }
    return total / runs;
}

// One gap in the middle of the screen changes and the window lays out again:
// half a row moves.
void BM_ViewsResolveAfterOneConstantChanges(benchmark::State& state) {
    const double scratch = secondsToLayOutFromScratch();
    Screen s = buildScreen();
    int flip = 0;
    const auto start = std::chrono::steady_clock::now();
    for (auto _ : state) {
        flip ^= 1;
        s.oneGap->setConstant(flip ? 20 : 8);
        s.window->layoutIfNeeded();
        benchmark::DoNotOptimize(s.views.back()->frame());
    }
    const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    state.counters["scratch_us"] = scratch * 1e6;
    state.counters["ratio"] = elapsed / static_cast<double>(state.iterations()) / scratch;
}
BENCHMARK(BM_ViewsResolveAfterOneConstantChanges)->Unit(benchmark::kMicrosecond);

// ---- Scaling ----

void BM_ViewsManyPreferredConstraintsOnOneView(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    double activateSeconds = 0, deactivateSeconds = 0;
    for (auto _ : state) {
        state.PauseTiming();
        auto window = makeWindow();
        auto view = View::create();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        window->addSubview(view);
        LayoutConstraint::activate({view->topAnchor().constraintEqualTo(window->topAnchor(), 10),
                                    view->heightAnchor().constraintEqualToConstant(40),
                                    view->leftAnchor().constraintGreaterThanOrEqualTo(window->leftAnchor()),
                                    view->rightAnchor().constraintLessThanOrEqualTo(window->rightAnchor())});
        std::vector<LayoutConstraintPtr> wishes;
        wishes.reserve(static_cast<std::size_t>(count));
        for (int i = 0; i < count; ++i) {
            const double k = i % 97;
            LayoutConstraintPtr c;
            switch (i % 3) {
            case 0: c = view->widthAnchor().constraintEqualToConstant(100 + k); break;
            case 1: c = view->widthAnchor().constraintGreaterThanOrEqualToConstant(50 + k); break;
            default: c = view->leftAnchor().constraintEqualTo(window->leftAnchor(), k); break;
            }
            c->setPriority(1 + (i * 7) % 999);
            wishes.push_back(std::move(c));
        }
        state.ResumeTiming();
        const auto start = std::chrono::steady_clock::now();
        LayoutConstraint::activate(wishes);
        window->layoutIfNeeded();
        benchmark::DoNotOptimize(view->frame());
        const auto middle = std::chrono::steady_clock::now();
        LayoutConstraint::deactivate(wishes);
        window->layoutIfNeeded();
        const auto end = std::chrono::steady_clock::now();
        activateSeconds += std::chrono::duration<double>(middle - start).count();
        deactivateSeconds += std::chrono::duration<double>(end - middle).count();
        state.PauseTiming();
        wishes.clear();
        view.reset();
        window.reset();
        state.ResumeTiming();
    }
    const double runs = static_cast<double>(state.iterations());
    state.counters["activate_ms"] = activateSeconds / runs * 1e3;
    state.counters["deactivate_ms"] = deactivateSeconds / runs * 1e3;
    state.counters["per_constraint_us"] = (activateSeconds + deactivateSeconds) / runs / count * 1e6;
}
BENCHMARK(BM_ViewsManyPreferredConstraintsOnOneView)
    ->Arg(2500)->Arg(5000)->Arg(10000)->Arg(20000)->Unit(benchmark::kMillisecond);

struct Chain {
    std::shared_ptr<Window> window = makeWindow();
    std::shared_ptr<View> container = View::create(Rect{{0, 0}, screenSize});
    std::vector<std::shared_ptr<View>> views;
};

Chain buildChain(int count) {
    Chain chain;
    chain.window->addSubview(chain.container);
    std::vector<LayoutConstraintPtr> constraints;
    for (int i = 0; i < count; ++i) {
        auto view = View::create();
        view->setTranslatesAutoresizingMaskIntoConstraints(false);
        chain.container->addSubview(view);
        constraints.push_back(i == 0 ? view->leftAnchor().constraintEqualTo(chain.container->leftAnchor())
                                     : view->leftAnchor().constraintEqualTo(chain.views.back()->rightAnchor(), 1));
        constraints.push_back(view->topAnchor().constraintEqualTo(chain.container->topAnchor(), 8));
        constraints.push_back(view->widthAnchor().constraintEqualToConstant(10));
        constraints.push_back(view->heightAnchor().constraintEqualToConstant(10));
        chain.views.push_back(std::move(view));
    }
    LayoutConstraint::activate(constraints);
    chain.window->layoutIfNeeded();
    return chain;
}

void BM_ViewsChainRemovedAndReAdded(benchmark::State& state) {
    const int count = static_cast<int>(state.range(0));
    Chain chain = buildChain(count);
    double seconds = 0;
    for (auto _ : state) {
        const auto start = std::chrono::steady_clock::now();
        chain.container->removeFromSuperview();
        chain.window->addSubview(chain.container);
        chain.window->layoutIfNeeded();
        benchmark::DoNotOptimize(chain.views.back()->frame());
        seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }
    state.counters["per_view_us"] = seconds / static_cast<double>(state.iterations()) / count * 1e6;
}
BENCHMARK(BM_ViewsChainRemovedAndReAdded)->Arg(500)->Arg(1000)->Arg(2000)->Arg(4000)->Unit(benchmark::kMillisecond);

// ---- 200 labels ----

std::string labelText(int i, int round) {
    static const std::vector<std::string> words = {"episode", "podcast", "the",   "morning", "news",  "with",
                                                   "guests",  "and",     "music", "special", "live",  "interview",
                                                   "weekly",  "review",  "of",    "science", "story", "history"};
    std::string text = "#" + std::to_string(i + 1);
    for (int w = 0; w < 3 + (i + round) % 17; ++w) {
        text += " " + words[static_cast<std::size_t>(i * 7 + w * 3 + round) % words.size()];
    }
    return text;
}

struct Column {
    std::shared_ptr<Window> window = makeWindow();
    std::vector<std::shared_ptr<Label>> labels;
};

Column buildColumn() {
    Column c;
    std::vector<LayoutConstraintPtr> constraints;
    const double width = screenSize.width - 32;
    for (int i = 0; i < 200; ++i) {
        auto label = Label::create();
        label->setTranslatesAutoresizingMaskIntoConstraints(false);
        label->setNumberOfLines(2);
        label->setPreferredMaxLayoutWidth(width);
        label->setFont(i % 2 ? Font::systemFont(15, Font::Weight::semibold) : Font::systemFont(13));
        label->setText(labelText(i, 0));
        c.window->addSubview(label);
        constraints.push_back(label->leftAnchor().constraintEqualTo(c.window->leftAnchor(), 16));
        constraints.push_back(label->rightAnchor().constraintLessThanOrEqualTo(c.window->rightAnchor(), -16));
        constraints.push_back(i == 0 ? label->topAnchor().constraintEqualTo(c.window->topAnchor(), 8)
                                     : label->topAnchor().constraintEqualTo(c.labels.back()->bottomAnchor(), 4));
        c.labels.push_back(std::move(label));
    }
    LayoutConstraint::activate(constraints);
    c.window->layoutIfNeeded();
    return c;
}

void BM_Labels200MeasuredAndLaidOutFromScratch(benchmark::State& state) {
    for (auto _ : state) {
        Column c = buildColumn();
        benchmark::DoNotOptimize(c.labels.back()->frame());
        state.PauseTiming();
        c = Column{};
        state.ResumeTiming();
    }
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_Labels200MeasuredAndLaidOutFromScratch)->Unit(benchmark::kMillisecond);

void BM_Labels200NewTextsLaidOut(benchmark::State& state) {
    Column c = buildColumn();
    int round = 0;
    for (auto _ : state) {
        ++round;
        for (std::size_t i = 0; i < c.labels.size(); ++i) c.labels[i]->setText(labelText(static_cast<int>(i), round));
        c.window->layoutIfNeeded();
        benchmark::DoNotOptimize(c.labels.back()->frame());
    }
    state.SetItemsProcessed(state.iterations() * 200);
}
BENCHMARK(BM_Labels200NewTextsLaidOut)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
