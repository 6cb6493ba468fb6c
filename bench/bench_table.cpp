// Cost of a table view of 10,000 rows of simple cells (a text label each,
// built from a registered nib, 44 points high) on a 375 x 667 window:
// reloading the data and laying out the first screen, and scrolling the
// whole table one screen at a time (each step loads the rows coming in from
// the reuse pool and gives back those leaving); and the same 10,000 rows in
// 500 sections under 47-point headers from the header pool.
#include <benchmark/benchmark.h>

#include <string>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

constexpr int rowCount = 10000;

class Rows : public TableViewDataSource {
public:
    int numberOfRows(TableView&, int) override { return rowCount; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& p) override {
        auto cell = table.dequeueReusableCell("Row", p);
        cell->textLabel()->setText("Episode " + std::to_string(p.row));
        return cell;
    }
};

struct Scene {
    std::shared_ptr<Window> window = Window::create({375, 667}, 2);
    std::shared_ptr<TableView> table = TableView::create({0, 0, 375, 667});
    std::shared_ptr<Rows> rows = std::make_shared<Rows>();
    Scene() {
        platform::core::RunLoop::main().useManualClock();
        NibRegistry::shared().registerNib("RowCell", [](NibBuild& build) {
            build.add(TableViewCell::create());
            return true;
        });
        table->registerNib("RowCell", "Row");
        table->setDataSource(rows);
        window->addSubview(table);
        table->layoutIfNeeded();
    }
};

void BM_TableReloadAndLayout10000Rows(benchmark::State& state) {
    Scene scene;
    for (auto _ : state) {
        scene.table->reloadData();
        scene.table->layoutIfNeeded();
        benchmark::DoNotOptimize(scene.table->visibleCells().size());
    }
}
BENCHMARK(BM_TableReloadAndLayout10000Rows)->Unit(benchmark::kMicrosecond);

void BM_TableScrollThrough10000Rows(benchmark::State& state) {
    Scene scene;
    const double end = scene.table->contentSize().height - 667;
    for (auto _ : state) {
        for (double y = 0; y <= end; y += 667) scene.table->setContentOffset({0, y});
        scene.table->setContentOffset({0, 0});
    }
    state.SetItemsProcessed(state.iterations() * rowCount);
}
BENCHMARK(BM_TableScrollThrough10000Rows)->Unit(benchmark::kMillisecond);

// 500 sections of 20 rows, each under a 47-point header from the header pool.
class Sections : public TableViewDataSource, public TableViewDelegate {
public:
    int numberOfSections(TableView&) override { return rowCount / 20; }
    int numberOfRows(TableView&, int) override { return 20; }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& p) override {
        auto cell = table.dequeueReusableCell("Row", p);
        cell->textLabel()->setText("Episode " + std::to_string(p.row));
        return cell;
    }
    double heightForHeaderInSection(TableView&, int) override { return 47; }
    std::shared_ptr<View> viewForHeaderInSection(TableView& table, int section) override {
        auto header = table.dequeueReusableHeaderFooterView("Header");
        header->textLabel()->setText("Season " + std::to_string(section));
        return header;
    }
};

void BM_TableScrollThrough500SectionsWithHeaders(benchmark::State& state) {
    Scene scene;
    NibRegistry::shared().registerNib("HeaderView", [](NibBuild& build) {
        build.add(TableViewHeaderFooterView::create());
        return true;
    });
    auto sections = std::make_shared<Sections>();
    scene.table->registerHeaderFooterNib("HeaderView", "Header");
    scene.table->setDataSource(sections);
    scene.table->setDelegate(sections);
    scene.table->layoutIfNeeded();
    const double end = scene.table->contentSize().height - 667;
    for (auto _ : state) {
        for (double y = 0; y <= end; y += 667) scene.table->setContentOffset({0, y});
        scene.table->setContentOffset({0, 0});
    }
    state.SetItemsProcessed(state.iterations() * rowCount);
}
BENCHMARK(BM_TableScrollThrough500SectionsWithHeaders)->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
