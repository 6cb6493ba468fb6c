#include <gtest/gtest.h>

#include <cstdlib>
#include <algorithm>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "RenderProbe.hpp"
#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace platform::ui;
using platform::core::DebugCapture;

namespace {

// A cell that counts what the table does to it; its automatic height is
// whatever the test says.
class SpyCell : public TableViewCell {
public:
    static std::shared_ptr<SpyCell> make() { return std::make_shared<SpyCell>(ConstructorKey{}, Rect{0, 0, 320, 44}); }
    using TableViewCell::TableViewCell;

    void awakeFromNib() override { ++awakes; }
    void prepareForReuse() override {
        TableViewCell::prepareForReuse();
        ++prepares;
        item.clear();
    }
    double heightThatFits(double /*width*/) override { return fittingHeight; }

    int awakes = 0, prepares = 0;
    std::string item;
    double fittingHeight = 44;
};

int nibBuilds = 0;

void registerSpyNib() {
    NibRegistry::shared().registerNib("SpyCell", [](NibBuild& build) {
        ++nibBuilds;
        build.add(SpyCell::make());
        return true;
    });
}

// A section header that counts its reuses.
class SpyHeader : public TableViewHeaderFooterView {
public:
    static std::shared_ptr<SpyHeader> make() {
        return std::make_shared<SpyHeader>(ConstructorKey{}, Rect{0, 0, 320, 28});
    }
    using TableViewHeaderFooterView::TableViewHeaderFooterView;
    void prepareForReuse() override {
        TableViewHeaderFooterView::prepareForReuse();
        ++prepares;
        section = -1;
    }
    int prepares = 0;
    int section = -1;
};

int headerNibBuilds = 0;

const Color headerColor{0.2, 0.5, 0.9, 1};

void registerSpyHeaderNib() {
    NibRegistry::shared().registerNib("SpyHeader", [](NibBuild& build) {
        ++headerNibBuilds;
        auto header = SpyHeader::make();
        header->setBackgroundColor(headerColor);
        build.add(header);
        return true;
    });
}

// Rows named by strings, section by section; cells dequeued as "Spy".
// Sections with a height in `headerHeights` get a header dequeued as
// "Header" (when registered), titled "Section <n>".
class Source : public TableViewDataSource, public TableViewDelegate {
public:
    std::vector<std::vector<std::string>> sections{{}};
    std::map<std::string, double> fitting;  // automatic height by item
    std::map<int, double> headerHeights;
    int asked = 0;
    std::vector<IndexPath> selections, deselections;
    std::vector<int> headersAsked, headersShown, headersGone;

    double heightForHeaderInSection(TableView& table, int section) override {
        auto it = headerHeights.find(section);
        return it == headerHeights.end() ? TableViewDelegate::heightForHeaderInSection(table, section) : it->second;
    }
    std::shared_ptr<View> viewForHeaderInSection(TableView& table, int section) override {
        headersAsked.push_back(section);
        auto header = std::dynamic_pointer_cast<SpyHeader>(table.dequeueReusableHeaderFooterView("Header"));
        if (!header) return nullptr;
        header->section = section;
        header->textLabel()->setText("Section " + std::to_string(section));
        header->textLabel()->setTextColor(Color::white());
        return header;
    }
    void willDisplayHeaderView(TableView&, View&, int section) override { headersShown.push_back(section); }
    void didEndDisplayingHeaderView(TableView&, View&, int section) override { headersGone.push_back(section); }

    int numberOfSections(TableView&) override { return static_cast<int>(sections.size()); }
    int numberOfRows(TableView&, int section) override { return static_cast<int>(sections[section].size()); }
    std::shared_ptr<TableViewCell> cellForRow(TableView& table, const IndexPath& p) override {
        ++asked;
        auto cell = std::dynamic_pointer_cast<SpyCell>(table.dequeueReusableCell("Spy", p));
        if (!cell) return nullptr;
        cell->item = sections[p.section][p.row];
        cell->textLabel()->setText(cell->item);
        if (auto f = fitting.find(cell->item); f != fitting.end()) cell->fittingHeight = f->second;
        return cell;
    }
    void didSelectRow(TableView&, const IndexPath& p) override { selections.push_back(p); }
    void didDeselectRow(TableView&, const IndexPath& p) override { deselections.push_back(p); }
};

std::vector<std::string> numbered(int n, const std::string& prefix = "row ") {
    std::vector<std::string> rows;
    for (int i = 0; i < n; ++i) rows.push_back(prefix + std::to_string(i));
    return rows;
}

struct Scene {
    std::shared_ptr<Window> window = Window::create({320, 480});
    std::shared_ptr<TableView> table = TableView::create({0, 0, 320, 200});
    std::shared_ptr<Source> source = std::make_shared<Source>();

    explicit Scene(std::vector<std::string> rows, double rowHeight = 50) {
        platform::core::RunLoop::main().useManualClock();
        registerSpyNib();
        nibBuilds = 0;
        source->sections = {std::move(rows)};
        table->registerNib("SpyCell", "Spy");
        table->setRowHeight(rowHeight);
        table->setDataSource(source);
        table->setDelegate(source);
        window->addSubview(table);
        table->layoutIfNeeded();
    }

    std::vector<std::string> shownItems() const {
        std::vector<std::string> items;
        for (const auto& c : table->visibleCells()) items.push_back(std::dynamic_pointer_cast<SpyCell>(c)->item);
        return items;
    }
    std::vector<int> shownRows() const {
        std::vector<int> rows;
        for (const auto& p : table->indexPathsForVisibleRows()) rows.push_back(p.row);
        return rows;
    }
};

TEST(TableView, LoadsOnlyTheVisibleRowsAndReusesTheCellsOfRowsThatLeave) {
    Scene scene(numbered(1000));
    EXPECT_EQ(scene.shownRows(), (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(scene.source->asked, 4);
    EXPECT_EQ(nibBuilds, 4);
    EXPECT_EQ(scene.table->cellForRow({0, 10}), nullptr);
    EXPECT_EQ(scene.table->contentSize().height, 50000);
    for (const auto& c : scene.table->visibleCells()) EXPECT_EQ(std::dynamic_pointer_cast<SpyCell>(c)->awakes, 1);

    scene.table->setContentOffset({0, 1025});  // rows 20 (half) to 24 (a quarter)
    EXPECT_EQ(scene.shownRows(), (std::vector<int>{20, 21, 22, 23, 24}));
    EXPECT_EQ(scene.shownItems().front(), "row 20");
    EXPECT_EQ(nibBuilds, 5);  // four from the pool, one new
    int prepares = 0;
    for (const auto& c : scene.table->visibleCells()) prepares += std::dynamic_pointer_cast<SpyCell>(c)->prepares;
    EXPECT_EQ(prepares, 4);
    EXPECT_EQ(scene.table->cellForRow({0, 0}), nullptr);
    EXPECT_EQ(scene.table->cellForRow({0, 21})->frame(), (Rect{0, 1050, 320, 50}));
    EXPECT_EQ(scene.table->indexPathForRow({10, 1075}), (IndexPath{0, 21}));
    EXPECT_EQ(scene.table->indexPathForRow({10, 50000}), std::nullopt);
}

TEST(TableView, RowsOfAutomaticHeightAreMeasuredAsTheyLoadOverTheirEstimates) {
    Scene scene(numbered(100), TableView::automaticDimension);
    // Estimated at 44 each; the loaded rows say 30 (row 1 says 80).
    EXPECT_EQ(scene.table->contentSize().height, 44 * 100);
    scene.source->fitting = {{"row 1", 80}};
    for (int i = 0; i < 100; ++i)
        if (i != 1) scene.source->fitting["row " + std::to_string(i)] = 30;
    scene.table->reloadData();
    scene.table->layoutIfNeeded();
    // 30 + 80 + 30 + 30 + 30 reaches 200.
    EXPECT_EQ(scene.shownRows(), (std::vector<int>{0, 1, 2, 3, 4}));
    EXPECT_EQ(scene.table->rectForRow({0, 2}), (Rect{0, 110, 320, 30}));
    EXPECT_EQ(scene.table->contentSize().height, 200 + 95 * 44);

    scene.table->setEstimatedRowHeight(100);
    scene.table->reloadData();
    scene.table->layoutIfNeeded();
    EXPECT_EQ(scene.table->contentSize().height, 200 + 95 * 100);
}

TEST(TableView, AnAutomaticRowIsAsHighAsTheConstraintsOfItsCellAsk) {
    // Cells made in code: a box of the row's height between the content
    // view's top and bottom margins (8 each).
    class Boxes : public TableViewDataSource {
    public:
        std::vector<double> heights{30, 120, 64};
        std::vector<LayoutConstraintPtr> boxHeights;
        int numberOfRows(TableView&, int) override { return static_cast<int>(heights.size()); }
        std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath& p) override {
            auto cell = TableViewCell::create();
            auto box = View::create();
            box->setTranslatesAutoresizingMaskIntoConstraints(false);
            cell->contentView()->addSubview(box);
            auto& margins = cell->contentView()->layoutMarginsGuide();
            boxHeights.push_back(box->heightAnchor().constraintEqualToConstant(heights[p.row]));
            LayoutConstraint::activate({box->topAnchor().constraintEqualTo(margins.topAnchor()),
                                        box->bottomAnchor().constraintEqualTo(margins.bottomAnchor()),
                                        box->leftAnchor().constraintEqualTo(margins.leftAnchor()),
                                        box->rightAnchor().constraintEqualTo(margins.rightAnchor()), boxHeights.back()});
            return cell;
        }
    };
    platform::core::RunLoop::main().useManualClock();
    DebugCapture capture;
    auto window = Window::create({320, 480});
    auto table = TableView::create({0, 0, 320, 400});
    auto boxes = std::make_shared<Boxes>();
    table->setRowHeight(TableView::automaticDimension);
    table->setDataSource(boxes);
    window->addSubview(table);
    table->layoutIfNeeded();
    EXPECT_EQ(table->rectForRow({0, 0}), (Rect{0, 0, 320, 46}));
    EXPECT_EQ(table->rectForRow({0, 1}), (Rect{0, 46, 320, 136}));
    EXPECT_EQ(table->rectForRow({0, 2}), (Rect{0, 182, 320, 80}));
    EXPECT_EQ(table->contentSize().height, 262);
    // The content view fills its cell again after the measure.
    const auto cell = table->cellForRow({0, 1});
    table->layoutIfNeeded();
    EXPECT_EQ(cell->contentView()->frame(), (Rect{0, 0, 320, 136}));

    // Content that grows is measured again by an empty batch, breaking nothing.
    boxes->boxHeights[1]->setConstant(200);
    ASSERT_TRUE(table->performBatchUpdates({}).has_value());
    table->layoutIfNeeded();
    EXPECT_EQ(table->rectForRow({0, 2}), (Rect{0, 262, 320, 80}));
    EXPECT_EQ(cell->frame(), (Rect{0, 46, 320, 216}));
    EXPECT_EQ(cell->contentView()->frame(), (Rect{0, 0, 320, 216}));

    // Content that grows while the table is out of its window (a screen
    // not shown): the batch there keeps the row's height, and the row is
    // measured again once the table is back in the window.
    table->removeFromSuperview();
    boxes->boxHeights[0]->setConstant(60);
    ASSERT_TRUE(table->performBatchUpdates({}).has_value());
    window->addSubview(table);
    window->layoutIfNeeded();
    EXPECT_EQ(table->rectForRow({0, 0}), (Rect{0, 0, 320, 76}));
    EXPECT_EQ(table->rectForRow({0, 1}), (Rect{0, 76, 320, 216}));
    EXPECT_TRUE(capture.lines().empty()) << capture.lines().front();
}

TEST(TableView, BatchUpdatesApplyInsertsDeletesAndMovesOrRefuseAWrongRowCount) {
    using Rows = std::vector<std::string>;
    struct Case {
        std::string name;
        Rows after;  // the data source's rows at the end of the batch
        std::function<void(TableView&)> updates;
        bool accepted;
    };
    const std::vector<Case> cases{
        {"delete", {"a", "c", "d"}, [](TableView& t) { t.deleteRows({{0, 1}}); }, true},
        {"insert", {"a", "x", "b", "c", "d"}, [](TableView& t) { t.insertRows({{0, 1}}); }, true},
        {"move down", {"b", "c", "d", "a"}, [](TableView& t) { t.moveRow({0, 0}, {0, 3}); }, true},
        {"delete, insert and move", {"d", "x", "b"},
         [](TableView& t) {
             t.deleteRows({{0, 0}, {0, 2}});
             t.insertRows({{0, 1}});
             t.moveRow({0, 3}, {0, 0});
         },
         true},
        {"nested batches", {"b", "x", "c", "d"},
         [](TableView& t) {
             t.beginUpdates();
             t.deleteRows({{0, 0}});
             t.endUpdates();
             t.insertRows({{0, 1}});
         },
         true},
        {"a move that breaks the row count", {"b", "c", "d", "a", "e"}, [](TableView& t) { t.moveRow({0, 0}, {0, 3}); },
         false},
        {"rows changed without telling", {"a", "b", "c"}, [](TableView&) {}, false},
        {"delete out of range", {"a", "b", "c"}, [](TableView& t) { t.deleteRows({{0, 7}}); }, false},
        {"the same row deleted twice", {"a", "b"}, [](TableView& t) { t.deleteRows({{0, 1}, {0, 1}}); }, false},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Scene scene({"a", "b", "c", "d"}, 30);
        scene.table->selectRow(IndexPath{0, 3});  // "d"
        const auto cellsBefore = scene.table->visibleCells();
        DebugCapture capture;
        scene.table->beginUpdates();
        scene.source->sections[0] = c.after;
        c.updates(*scene.table);
        const auto result = scene.table->endUpdates();
        ASSERT_EQ(result.has_value(), c.accepted);
        if (c.accepted) {
            EXPECT_EQ(scene.shownItems(), c.after);
            EXPECT_EQ(scene.table->numberOfRows(0), static_cast<int>(c.after.size()));
            EXPECT_TRUE(capture.lines().empty());
            // The selection follows its row.
            auto d = std::find(c.after.begin(), c.after.end(), "d");
            if (d != c.after.end()) {
                EXPECT_EQ(scene.table->indexPathForSelectedRow(), (IndexPath{0, static_cast<int>(d - c.after.begin())}));
            }
        } else {
            // Reported, and the table is as it was.
            EXPECT_EQ(capture.count("invalid update"), 1u);
            EXPECT_NE(result.error().message.find("invalid update"), std::string::npos);
            EXPECT_EQ(scene.table->numberOfRows(0), 4);
            EXPECT_EQ(scene.table->visibleCells(), cellsBefore);
            EXPECT_EQ(scene.shownItems(), (Rows{"a", "b", "c", "d"}));
            EXPECT_EQ(scene.table->indexPathForSelectedRow(), (IndexPath{0, 3}));
        }
    }
}

TEST(TableView, AnEmptyBatchMeasuresTheRowsAgainAndMovesTheRowsBelow) {
    Scene scene({"a", "b", "c"}, TableView::automaticDimension);
    scene.source->fitting = {{"a", 40}, {"b", 40}, {"c", 40}};
    scene.table->reloadData();
    scene.table->layoutIfNeeded();
    auto first = std::dynamic_pointer_cast<SpyCell>(scene.table->cellForRow({0, 0}));
    first->fittingHeight = 100;
    EXPECT_TRUE(scene.table->performBatchUpdates({}).has_value());
    EXPECT_EQ(scene.table->rectForRow({0, 1}), (Rect{0, 100, 320, 40}));
    EXPECT_EQ(scene.table->cellForRow({0, 2})->frame(), (Rect{0, 140, 320, 40}));
    EXPECT_EQ(scene.table->contentSize().height, 180);
}

TEST(TableView, ATapSelectsTheRowUnderItAndDeselectsThePreviousOne) {
    Scene scene(numbered(10));
    testsupport::tap(*scene.window, {100, 75});
    EXPECT_EQ(scene.source->selections, (std::vector<IndexPath>{{0, 1}}));
    EXPECT_TRUE(scene.table->cellForRow({0, 1})->isSelected());
    testsupport::tap(*scene.window, {100, 160});
    EXPECT_EQ(scene.source->selections, (std::vector<IndexPath>{{0, 1}, {0, 3}}));
    EXPECT_EQ(scene.source->deselections, (std::vector<IndexPath>{{0, 1}}));
    EXPECT_FALSE(scene.table->cellForRow({0, 1})->isSelected());
    EXPECT_EQ(scene.table->indexPathForSelectedRow(), (IndexPath{0, 3}));

    // Code deselects without telling the delegate; no selection when off.
    scene.table->deselectRow({0, 3});
    scene.table->setAllowsSelection(false);
    testsupport::tap(*scene.window, {100, 25});
    EXPECT_EQ(scene.source->selections.size(), 2u);
    EXPECT_EQ(scene.source->deselections.size(), 1u);
    EXPECT_EQ(scene.table->indexPathForSelectedRow(), std::nullopt);
}

// A table of two sections, "a" and "b" then "c", "d" and "e", rows of 50
// points under headers of 47, in a table tall enough for all of them.
struct TwoSections : Scene {
    TwoSections() : Scene({}) {
        registerSpyHeaderNib();
        headerNibBuilds = 0;
        table->registerHeaderFooterNib("SpyHeader", "Header");
        source->sections = {{"a", "b"}, {"c", "d", "e"}};
        source->headerHeights = {{0, 47}, {1, 47}};
        table->setFrame({0, 0, 320, 400});
        table->reloadData();
        table->layoutIfNeeded();
    }
};

TEST(TableView, SectionHeadersStandAboveTheirRows) {
    TwoSections scene;
    auto& table = *scene.table;
    // Header 0, rows a and b, header 1, rows c, d and e: 2 x 47 + 5 x 50.
    EXPECT_EQ(table.rectForHeaderInSection(0), (Rect{0, 0, 320, 47}));
    EXPECT_EQ(table.rectForRow({0, 0}), (Rect{0, 47, 320, 50}));
    EXPECT_EQ(table.rectForRow({0, 1}), (Rect{0, 97, 320, 50}));
    EXPECT_EQ(table.rectForHeaderInSection(1), (Rect{0, 147, 320, 47}));
    EXPECT_EQ(table.rectForRow({1, 0}), (Rect{0, 194, 320, 50}));
    EXPECT_EQ(table.rectForRow({1, 2}), (Rect{0, 294, 320, 50}));
    EXPECT_EQ(table.contentSize().height, 344);
    EXPECT_EQ(table.rectForHeaderInSection(2), Rect::null());

    // The header views lie over their areas, above the rows in the drawing order.
    for (int section : {0, 1}) {
        SCOPED_TRACE(section);
        auto header = std::dynamic_pointer_cast<SpyHeader>(table.headerView(section));
        ASSERT_TRUE(header);
        EXPECT_EQ(header->section, section);
        EXPECT_EQ(header->frame(), table.rectForHeaderInSection(section));
        EXPECT_EQ(header->textLabel()->text(), "Section " + std::to_string(section));
        const auto& subviews = table.subviews();
        const auto at = std::find(subviews.begin(), subviews.end(), header);
        for (const auto& cell : table.visibleCells())
            EXPECT_LT(std::find(subviews.begin(), subviews.end(), cell), at);
    }
    EXPECT_EQ(scene.source->headersAsked, (std::vector<int>{0, 1}));
    EXPECT_EQ(scene.source->headersShown, (std::vector<int>{0, 1}));
    EXPECT_EQ(scene.shownItems(), (std::vector<std::string>{"a", "b", "c", "d", "e"}));

    // A header is no row: points over it find none, and a tap selects nothing.
    EXPECT_EQ(table.indexPathForRow({10, 20}), std::nullopt);
    EXPECT_EQ(table.indexPathForRow({10, 50}), (IndexPath{0, 0}));
    EXPECT_EQ(table.indexPathForRow({10, 150}), std::nullopt);
    EXPECT_EQ(table.indexPathForRow({10, 193.9}), std::nullopt);
    EXPECT_EQ(table.indexPathForRow({10, 194}), (IndexPath{1, 0}));
    testsupport::tap(*scene.window, {100, 160});
    EXPECT_TRUE(scene.source->selections.empty());
    testsupport::tap(*scene.window, {100, 220});
    EXPECT_EQ(scene.source->selections, (std::vector<IndexPath>{{1, 0}}));

    // Without a height of its own a section takes the table's; 0 shows no header.
    scene.source->headerHeights = {{1, 0}};
    table.setSectionHeaderHeight(20);
    table.layoutIfNeeded();
    EXPECT_EQ(table.rectForRow({0, 0}), (Rect{0, 20, 320, 50}));
    EXPECT_EQ(table.rectForHeaderInSection(1), (Rect{0, 120, 320, 0}));
    EXPECT_EQ(table.rectForRow({1, 0}), (Rect{0, 120, 320, 50}));
    EXPECT_EQ(table.headerView(1), nullptr);
    EXPECT_EQ(scene.source->headersGone, (std::vector<int>{1}));
    EXPECT_EQ(table.headerView(0)->frame(), (Rect{0, 0, 320, 20}));
}

TEST(TableView, SectionHeadersAreAskedForInViewOnlyAndReusedWhenScrolled) {
    Scene scene({});
    registerSpyHeaderNib();
    headerNibBuilds = 0;
    scene.table->registerHeaderFooterNib("SpyHeader", "Header");
    // 40 sections of three rows under a 47-point header: 197 points each.
    scene.source->sections.clear();
    for (int s = 0; s < 40; ++s) {
        scene.source->sections.push_back(numbered(3, "s" + std::to_string(s) + " row "));
        scene.source->headerHeights[s] = 47;
    }
    scene.table->reloadData();
    scene.table->layoutIfNeeded();
    EXPECT_EQ(scene.table->contentSize().height, 40 * 197);
    // 200 points show header 0 and the top of header 1.
    EXPECT_EQ(scene.source->headersAsked, (std::vector<int>{0, 1}));
    EXPECT_EQ(headerNibBuilds, 2);

    std::set<const View*> distinct;
    int shownAtOnce = 0;
    for (double y = 0; y <= 40 * 197 - 200; y += 35) {
        scene.table->setContentOffset({0, y});
        int shown = 0;
        for (int s = 0; s < 40; ++s) {
            const auto header = scene.table->headerView(s);
            const Rect area = scene.table->rectForHeaderInSection(s);
            const bool inView = area.maxY() > y && area.minY() < y + 200;
            EXPECT_EQ(header != nullptr, inView) << "section " << s << " at " << y;
            if (!header) continue;
            ++shown;
            distinct.insert(header.get());
            EXPECT_EQ(std::dynamic_pointer_cast<SpyHeader>(header)->section, s);
            EXPECT_EQ(header->frame(), area);
        }
        shownAtOnce = std::max(shownAtOnce, shown);
    }
    // Every header was asked for once on the way down, from two views.
    EXPECT_EQ(scene.source->headersAsked.size(), 40u);
    EXPECT_EQ(headerNibBuilds, shownAtOnce);
    EXPECT_EQ(distinct.size(), static_cast<std::size_t>(shownAtOnce));
    EXPECT_LE(shownAtOnce, 2);
    int prepares = 0;
    for (const View* header : distinct) prepares += static_cast<const SpyHeader*>(header)->prepares;
    EXPECT_EQ(prepares, 38);
    // Every header shown and no longer in view was taken off the table.
    std::size_t inView = 0;
    for (int s = 0; s < 40; ++s) inView += scene.table->headerView(s) != nullptr;
    EXPECT_EQ(scene.source->headersShown.size(), 40u);
    EXPECT_EQ(scene.source->headersGone.size(), 40u - inView);
}

TEST(TableView, SectionHeadersFollowTheirHeightsThroughABatchUpdate) {
    // As a list of saved and other episodes: a header only over a section
    // that has rows, and a row moving from the second section to the first.
    TwoSections scene;
    auto& table = *scene.table;
    scene.source->sections = {{}, {"c", "d", "e"}};
    scene.source->headerHeights = {{0, 0}, {1, 47}};
    table.reloadData();
    table.layoutIfNeeded();
    EXPECT_EQ(table.headerView(0), nullptr);
    EXPECT_EQ(table.rectForHeaderInSection(1), (Rect{0, 0, 320, 47}));
    EXPECT_EQ(table.rectForRow({1, 0}), (Rect{0, 47, 320, 50}));

    table.beginUpdates();
    scene.source->sections = {{"d"}, {"c", "e"}};
    scene.source->headerHeights = {{0, 47}, {1, 47}};
    ASSERT_TRUE(table.moveRow({1, 1}, {0, 0}).has_value());
    ASSERT_TRUE(table.endUpdates().has_value());
    table.layoutIfNeeded();
    EXPECT_EQ(table.rectForRow({0, 0}), (Rect{0, 47, 320, 50}));
    EXPECT_EQ(table.rectForHeaderInSection(1), (Rect{0, 97, 320, 47}));
    EXPECT_EQ(table.rectForRow({1, 1}), (Rect{0, 194, 320, 50}));
    ASSERT_TRUE(table.headerView(0));
    EXPECT_EQ(table.headerView(0)->frame(), (Rect{0, 0, 320, 47}));
    EXPECT_EQ(table.headerView(1)->frame(), (Rect{0, 97, 320, 47}));
    EXPECT_EQ(scene.shownItems(), (std::vector<std::string>{"d", "c", "e"}));
}

TEST(TableView, DrawsTwoSectionsUnderTheirHeaders) {
    TwoSections scene;
    scene.table->setSeparatorColor(Color::plainBlue());
    scene.table->setSeparatorInset({0, 0, 0, 0});
    const auto image = scene.window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        renderprobe::writePng(*image, std::string(dir) + "/table_view_section_headers.png");
    const renderprobe::Rgba header{51, 128, 230, 255}, white{255, 255, 255, 255};
    // Header 0 from 0 to 47, its rows to 147, header 1 to 194, its rows to 344.
    for (const auto& [y, expected] : std::vector<std::pair<double, renderprobe::Rgba>>{
             {2, header}, {45, header}, {60, white}, {140, white}, {149, header}, {192, header}, {200, white},
             {340, white}, {360, white}}) {
        EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 300, y), expected, 8)) << "at y = " << y;
    }
}

TEST(TableView, SeparatorsFooterAndSectionsAreLaidOutUnderTheRows) {
    Scene scene({"a", "b"});
    scene.source->sections = {{"a", "b"}, {}, {"c"}};
    auto footer = View::create({0, 0, 10, 30});
    scene.table->setTableFooterView(footer);
    scene.table->setSeparatorInset({0, 20, 0, 5});
    scene.table->setSeparatorColor(Color::plainRed());
    scene.table->reloadData();
    scene.table->layoutIfNeeded();

    EXPECT_EQ(scene.table->numberOfSections(), 3);
    EXPECT_EQ(scene.table->rectForRow({2, 0}), (Rect{0, 100, 320, 50}));
    EXPECT_EQ(scene.table->indexPathForRow({1, 120}), (IndexPath{2, 0}));
    EXPECT_EQ(footer->frame(), (Rect{0, 150, 320, 30}));
    EXPECT_EQ(scene.table->contentSize().height, 180);
    const auto separator = scene.table->cellForRow({0, 0})->separatorView();
    ASSERT_NE(separator, nullptr);
    EXPECT_FALSE(separator->isHidden());
    EXPECT_EQ(separator->frame(), (Rect{20, 49.5, 295, 0.5}));  // a pixel at scale 2
    EXPECT_EQ(separator->backgroundColor(), Color::plainRed());

    scene.table->setSeparatorStyle(TableViewCellSeparatorStyle::none);
    for (const auto& c : scene.table->visibleCells()) EXPECT_TRUE(c->separatorView()->isHidden());
}

TEST(TableView, TheInsetAddsTheSafeAreaUnlessAdjustmentIsOffAndRowsShowUnderIt) {
    for (const auto behavior : {ContentInsetAdjustmentBehavior::automatic, ContentInsetAdjustmentBehavior::never}) {
        const double expected = behavior == ContentInsetAdjustmentBehavior::automatic ? 70 : 50;
        Scene scene(numbered(10));
        scene.window->setSafeAreaInsets({20, 0, 0, 0});
        scene.table->setContentInsetAdjustmentBehavior(behavior);
        scene.table->setContentInset({50, 0, 0, 0});
        EXPECT_EQ(scene.table->adjustedContentInset().top, expected);
        scene.table->setContentOffset(scene.table->minimumContentOffset());
        EXPECT_EQ(scene.table->contentOffset().y, -expected);
        // 200 points high, the first `expected` of them inset.
        EXPECT_EQ(scene.table->indexPathsForVisibleRows().size(), 3u);
        EXPECT_EQ(scene.table->cellForRow({0, 0})->frame().minY(), 0);
    }
}

TEST(TableView, AMissingCellOrNibGivesAnEmptyRowWithADebugLine) {
    platform::core::RunLoop::main().useManualClock();
    DebugCapture capture;
    auto window = Window::create({320, 480});
    auto table = TableView::create({0, 0, 320, 200});
    auto source = std::make_shared<Source>();
    source->sections = {{"a", "b"}};
    table->setRowHeight(50);
    table->setDataSource(source);  // no nib for "Spy": plain cells, which the source refuses
    window->addSubview(table);
    table->layoutIfNeeded();
    EXPECT_EQ(table->visibleCells().size(), 2u);
    EXPECT_EQ(capture.count("no nib is registered"), 2u);
    EXPECT_EQ(capture.count("gave no cell"), 2u);
}

TEST(TableView, DrawsRowsSeparatorsAndTheSelection) {
    Scene scene(numbered(20, "Episode "));
    scene.table->setSeparatorColor(Color::plainBlue());
    scene.table->setSeparatorInset({0, 0, 0, 0});
    scene.table->selectRow(IndexPath{0, 1});
    const auto image = scene.window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        renderprobe::writePng(*image, std::string(dir) + "/table_view.png");
    // The separator under row 0, the grey of the selected row 1, white row 2.
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 300, 49.75), {0, 0, 255, 255}, 8));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 300, 75), {217, 217, 217, 255}, 8));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 300, 125), {255, 255, 255, 255}, 8));
}

}  // namespace
