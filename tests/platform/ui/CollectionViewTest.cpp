#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/CollectionView.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

using namespace platform::ui;

namespace {

TEST(CollectionViewFlowLayout, PlacesItemsInLinesThatReachBothInsets) {
    struct Case {
        std::string name;
        CollectionViewFlowLayout layout;
        Size bounds;
        std::vector<int> counts;
        std::vector<std::pair<IndexPath, Rect>> frames;
        Size contentSize;
    };
    auto flow = [](Size item, double line, double inter, EdgeInsets inset,
                   CollectionViewScrollDirection direction = CollectionViewScrollDirection::vertical) {
        CollectionViewFlowLayout l;
        l.itemSize = item;
        l.minimumLineSpacing = line;
        l.minimumInteritemSpacing = inter;
        l.sectionInset = inset;
        l.scrollDirection = direction;
        return l;
    };
    const std::vector<Case> cases{
        // 300 points for items of 100 at least 10 apart: two per line, 100 apart.
        {"two columns, spacing widened",
         flow({100, 50}, 10, 10, {10, 10, 10, 10}),
         {320, 480},
         {5},
         {{{0, 0}, {10, 10, 100, 50}}, {{0, 1}, {210, 10, 100, 50}}, {{0, 4}, {10, 130, 100, 50}}},
         {320, 190}},
        {"exact fit of three",
         flow({100, 40}, 0, 10, {}),
         {320, 480},
         {4},
         {{{0, 2}, {220, 0, 100, 40}}, {{0, 3}, {0, 40, 100, 40}}},
         {320, 80}},
        {"one per line when only one fits",
         flow({300, 20}, 5, 10, {0, 12, 0, 12}),
         {320, 480},
         {2},
         {{{0, 1}, {12, 25, 300, 20}}},
         {320, 45}},
        {"sections stack with their insets",
         flow({100, 50}, 10, 0, {5, 0, 5, 0}),
         {200, 480},
         {2, 1},
         {{{0, 1}, {100, 5, 100, 50}}, {{1, 0}, {0, 65, 100, 50}}},
         {200, 120}},
        {"horizontal scrolling fills columns",
         flow({80, 40}, 10, 20, {0, 0, 0, 0}, CollectionViewScrollDirection::horizontal),
         {320, 100},
         {5},
         {{{0, 1}, {0, 60, 80, 40}}, {{0, 2}, {90, 0, 80, 40}}, {{0, 4}, {180, 0, 80, 40}}},
         {260, 100}},
    };
    for (auto c : cases) {
        SCOPED_TRACE(c.name);
        c.layout.prepare(c.bounds, c.counts);
        for (const auto& [path, frame] : c.frames) EXPECT_EQ(c.layout.frameForItem(path), frame);
        EXPECT_EQ(c.layout.contentSize(), c.contentSize);
        EXPECT_TRUE(c.layout.frameForItem({0, c.counts[0]}).isNull());
    }
}

class SpyItem : public CollectionViewCell {
public:
    using CollectionViewCell::CollectionViewCell;
    static std::shared_ptr<SpyItem> make() { return std::make_shared<SpyItem>(ConstructorKey{}, Rect{0, 0, 50, 50}); }
    void prepareForReuse() override {
        CollectionViewCell::prepareForReuse();
        ++prepares;
    }
    int prepares = 0;
    int item = -1;
};

class Items : public CollectionViewDataSource, public CollectionViewDelegate {
public:
    int count = 40;
    std::vector<int> dressed, pooled, selected;

    int numberOfItems(CollectionView&, int) override { return count; }
    std::shared_ptr<CollectionViewCell> cellForItem(CollectionView& view, const IndexPath& p) override {
        auto cell = std::dynamic_pointer_cast<SpyItem>(view.dequeueReusableCell("Item", p));
        cell->item = p.item();
        dressed.push_back(p.item());
        return cell;
    }
    void didEndDisplayingCell(CollectionView&, CollectionViewCell&, const IndexPath& p) override {
        pooled.push_back(p.item());
    }
    void didSelectItem(CollectionView&, const IndexPath& p) override { selected.push_back(p.item()); }
};

TEST(CollectionView, ItemsAreDressedAsTheyComeIntoViewAndPooledAsTheyLeave) {
    platform::core::RunLoop::main().useManualClock();
    int builds = 0;
    NibRegistry::shared().registerNib("SpyItem", [&builds](NibBuild& build) {
        ++builds;
        build.add(SpyItem::make());
        return true;
    });
    CollectionViewFlowLayout layout;
    layout.itemSize = {100, 50};
    layout.minimumLineSpacing = 0;
    layout.minimumInteritemSpacing = 0;
    auto window = Window::create({320, 480});
    auto collection = CollectionView::create({0, 0, 200, 100}, layout);
    auto items = std::make_shared<Items>();
    collection->registerNib("SpyItem", "Item");
    collection->setDataSource(items);
    collection->setDelegate(items);
    window->addSubview(collection);
    collection->layoutIfNeeded();

    EXPECT_EQ(items->dressed, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(collection->contentSize(), (Size{200, 1000}));
    EXPECT_EQ(collection->cellForItem({0, 5}), nullptr);

    collection->setContentOffset({0, 100});
    EXPECT_EQ(items->pooled, (std::vector<int>{0, 1, 2, 3}));
    EXPECT_EQ(items->dressed, (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
    EXPECT_EQ(builds, 4);  // the four new items took the pooled cells
    for (const auto& c : collection->visibleCells()) {
        auto spy = std::dynamic_pointer_cast<SpyItem>(c);
        EXPECT_EQ(spy->prepares, 1);
        EXPECT_EQ(spy->frame(), collection->collectionViewLayout().frameForItem({0, spy->item}));
    }

    testsupport::tap(*window, {150, 60});  // item 7 lies at (100, 150) in the content
    EXPECT_EQ(items->selected, (std::vector<int>{7}));
    EXPECT_TRUE(collection->cellForItem({0, 7})->isSelected());
    NibRegistry::shared().unregisterNib("SpyItem");
}

TEST(CollectionView, TheDelegateGivesEachSectionItsOwnSpacings) {
    // Items of 100 x 50 in a 320-point column: the first section at least
    // 12 apart in a line and 24 between lines (two to a line), the second
    // with the layout's own 10 and 10 (three to a line).
    class Spaced : public Items {
    public:
        int numberOfSections(CollectionView&) override { return 2; }
        int numberOfItems(CollectionView&, int section) override { return section == 0 ? 5 : 4; }
        double minimumInteritemSpacingForSection(CollectionView& view, int section) override {
            return section == 0 ? 12 : CollectionViewDelegate::minimumInteritemSpacingForSection(view, section);
        }
        double minimumLineSpacingForSection(CollectionView& view, int section) override {
            return section == 0 ? 24 : CollectionViewDelegate::minimumLineSpacingForSection(view, section);
        }
    };
    platform::core::RunLoop::main().useManualClock();
    NibRegistry::shared().registerNib("SpyItem", [](NibBuild& build) {
        build.add(SpyItem::make());
        return true;
    });
    CollectionViewFlowLayout layout;
    layout.itemSize = {100, 50};
    auto window = Window::create({320, 480});
    auto collection = CollectionView::create({0, 0, 320, 480}, layout);
    auto items = std::make_shared<Spaced>();
    collection->registerNib("SpyItem", "Item");
    collection->setDataSource(items);
    window->addSubview(collection);
    collection->layoutIfNeeded();
    // Without a delegate every section takes the layout's spacings.
    EXPECT_EQ(collection->collectionViewLayout().frameForItem({0, 3}), (Rect{0, 60, 100, 50}));

    collection->setDelegate(items);
    collection->layoutIfNeeded();
    const auto& flow = collection->collectionViewLayout();
    EXPECT_EQ(flow.frameForItem({0, 1}), (Rect{220, 0, 100, 50}));
    EXPECT_EQ(flow.frameForItem({0, 2}), (Rect{0, 74, 100, 50}));
    EXPECT_EQ(flow.frameForItem({0, 4}), (Rect{0, 148, 100, 50}));
    EXPECT_EQ(flow.frameForItem({1, 0}), (Rect{0, 198, 100, 50}));
    EXPECT_EQ(flow.frameForItem({1, 2}), (Rect{220, 198, 100, 50}));
    EXPECT_EQ(flow.frameForItem({1, 3}), (Rect{0, 258, 100, 50}));
    EXPECT_EQ(collection->contentSize(), (Size{320, 308}));
    EXPECT_EQ(collection->cellForItem({1, 3})->frame(), (Rect{0, 258, 100, 50}));
    NibRegistry::shared().unregisterNib("SpyItem");
}

}  // namespace
