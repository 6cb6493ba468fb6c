// The presenter base: one row per element, the row's cell the element's own
// cell (a plain cell for an element without one), and elements found by
// type.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "orvane/pages/OVGenericPageElement.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/TableView.hpp"

namespace {

using namespace orvane;
using namespace platform::ui;

// Element cells of the tests' own, each with its nib.
template <int N>
class TestCell : public OVPageElementTableViewCell {
public:
    static constexpr std::string_view ReuseIdentifier = N == 0 ? "PresenterTestCellA" : "PresenterTestCellB";
    explicit TestCell(ConstructorKey key) : OVPageElementTableViewCell(key, Rect{0, 0, 320, 60}) {}
    static void registerNib() {
        NibRegistry::shared().registerNib(std::string(ReuseIdentifier), [](NibBuild& build) {
            build.add(std::make_shared<TestCell>(ConstructorKey{}));
            return true;
        });
    }
};
using CellA = TestCell<0>;
using CellB = TestCell<1>;

// Kinds of element over those cells; `Broken` has a nib of the wrong class.
class KindA : public OVGenericPageElement<CellA> {
public:
    using OVGenericPageElement::OVGenericPageElement;
};
class KindB : public OVGenericPageElement<CellB> {
public:
    using OVGenericPageElement::OVGenericPageElement;
};
class BrokenCell : public OVPageElementTableViewCell {
public:
    static constexpr std::string_view ReuseIdentifier = "PresenterTestBrokenCell";
    explicit BrokenCell(ConstructorKey key) : OVPageElementTableViewCell(key, Rect{}) {}
};
class Broken : public OVGenericPageElement<BrokenCell> {
public:
    using OVGenericPageElement::OVGenericPageElement;
};

class OVPageInteractorInteractorTest : public ::testing::Test {
protected:
    void SetUp() override {
        CellA::registerNib();
        CellB::registerNib();
        NibRegistry::shared().registerNib(std::string(BrokenCell::ReuseIdentifier), [](NibBuild& build) {
            build.add(View::create());
            return true;
        });
    }
    template <class Kind>
    std::shared_ptr<Kind> make() {
        return Kind::template create<Kind>(nullptr, nullptr);
    }
    std::shared_ptr<OVPageInteractorInteractor> presenter = OVPageInteractorInteractor::create(nullptr);
    std::shared_ptr<TableView> table = TableView::create(Rect{0, 0, 320, 600});
};

TEST_F(OVPageInteractorInteractorTest, EachRowShowsItsElementsOwnCell) {
    EXPECT_EQ(presenter->numberOfRows(*table, 0), 0);

    auto a = make<KindA>();
    auto broken = make<Broken>();
    auto b = make<KindB>();
    ASSERT_NE(a->tableViewCell(), nullptr);
    ASSERT_EQ(broken->tableViewCell(), nullptr);
    presenter->update(OVPageElements{a, broken, b});
    for (int section : {0, 1, 7}) EXPECT_EQ(presenter->numberOfRows(*table, section), 3);
    EXPECT_EQ(presenter->cellForRow(*table, IndexPath::forRow(0, 0)), a->tableViewCell());
    EXPECT_EQ(presenter->cellForRow(*table, IndexPath::forRow(2, 0)), b->tableViewCell());
    // The same instance every time: the reuse pool is not used.
    EXPECT_EQ(presenter->cellForRow(*table, IndexPath::forRow(0, 0)), a->tableViewCell());
    // An element without a cell shows a new, plain, empty cell.
    auto plain = presenter->cellForRow(*table, IndexPath::forRow(1, 0));
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(std::dynamic_pointer_cast<OVPageElementTableViewCell>(plain), nullptr);
    EXPECT_NE(presenter->cellForRow(*table, IndexPath::forRow(1, 0)), plain);

    // Through a table: the visible cells are the elements' own cells.
    table->setDataSource(presenter);
    table->setRowHeight(60);
    table->reloadData();
    table->layoutIfNeeded();
    const auto visible = table->visibleCells();
    ASSERT_EQ(visible.size(), 3U);
    EXPECT_EQ(visible[0], a->tableViewCell());
    EXPECT_EQ(visible[2], b->tableViewCell());

    // Replacing the list does not reload the table.
    presenter->update(OVPageElements{});
    EXPECT_EQ(presenter->numberOfRows(*table, 0), 0);
    EXPECT_EQ(table->numberOfRows(0), 3);
}

TEST_F(OVPageInteractorInteractorTest, FirstExpandElementFindsTheFirstOfAType) {
    auto b1 = make<KindB>();
    auto b2 = make<KindB>();
    auto a = make<KindA>();
    presenter->update(OVPageElements{b1, b2, a, make<KindB>()});
    const auto third = presenter->firstExpandElement<KindA>();
    ASSERT_TRUE(third.has_value());
    EXPECT_EQ(third->index, 2);
    EXPECT_EQ(third->dataElement, a);
    const auto twice = presenter->firstExpandElement<KindB>();
    ASSERT_TRUE(twice.has_value());
    EXPECT_EQ(twice->index, 0);
    EXPECT_EQ(twice->dataElement, b1);
    EXPECT_FALSE(presenter->firstExpandElement<Broken>().has_value());
    presenter->update(OVPageElements{});
    EXPECT_FALSE(presenter->firstExpandElement<KindB>().has_value());
}

}  // namespace
