#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "orvane/coordinator/OVCoordinator.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TempDocuments.hpp"

using namespace orvane;
using platform::graphics::Color;
using platform::graphics::EdgeInsets;
using platform::ui::IndexPath;
using platform::ui::NibBuild;
using platform::ui::NibRegistry;
using platform::graphics::Rect;
using platform::ui::TableView;
using platform::ui::TableViewCell;
using platform::ui::View;
using Position = OVPageElementTableViewCell::Separator::Position;
using Configuration = OVPageElementTableViewCell::Separator::Configuration;

namespace {

// An element cell of the tests, built by its nib as element cells are.
class OVSpyElementCell : public OVPageElementTableViewCell {
public:
    static constexpr std::string_view ReuseIdentifier = "OVSpyElementCell";
    static std::shared_ptr<OVSpyElementCell> make() {
        return std::make_shared<OVSpyElementCell>(ConstructorKey{}, Rect{0, 0, 320, 100});
    }
    OVSpyElementCell(ConstructorKey key, const Rect& frame) : OVPageElementTableViewCell(key, frame) {}
};

class SpyElement : public OVGenericPageElement<OVSpyElementCell> {
public:
    using OVGenericPageElement::OVGenericPageElement;
    void setDelegates() override {
        ++hooks;
        hookSawCell = tableViewCell() != nullptr;
        hookSawCoordinator = coordinator() != nullptr;
        hookSawCellBound = tableViewCell() && tableViewCell()->element().get() == this;
    }
    int hooks = 0;
    bool hookSawCell = false, hookSawCoordinator = false, hookSawCellBound = false;
};

void registerSpyNib(bool rightClass) {
    NibRegistry::shared().registerNib(std::string(OVSpyElementCell::ReuseIdentifier), [rightClass](NibBuild& build) {
        if (rightClass) {
            build.add(OVSpyElementCell::make());
        } else {
            build.add(TableViewCell::create());
        }
        return true;
    });
}

std::shared_ptr<SpyElement> makeElement(const std::shared_ptr<OVCoordinator>& coordinator = nullptr) {
    return OVGenericPageElement<OVSpyElementCell>::create<SpyElement>(coordinator, nullptr);
}

TEST(OVPageElement, AnElementAndItsCellAreBoundBothWaysBeforeTheDelegatesHook) {
    platform::core::RunLoop::main().useManualClock();
    testsupport::TempDocuments documents;
    registerSpyNib(true);
    auto coordinator = OVCoordinator::create();
    auto element = makeElement(coordinator);

    ASSERT_NE(element->tableViewCell(), nullptr);
    EXPECT_EQ(element->elementTableViewCell(), element->tableViewCell());
    EXPECT_EQ(element->tableViewCell()->element(), element);
    EXPECT_EQ(element->coordinator(), coordinator);
    EXPECT_EQ(element->page(), nullptr);
    EXPECT_EQ(element->hooks, 1);
    EXPECT_TRUE(element->hookSawCell && element->hookSawCoordinator && element->hookSawCellBound);

    // The cell points back weakly: it outlives its element without keeping it.
    std::shared_ptr<OVPageElementTableViewCell> cell = element->tableViewCell();
    element.reset();
    EXPECT_EQ(cell->element(), nullptr);
}

TEST(OVPageElement, AWrongClassNibGivesNoCellAndThePageAPlainRow) {
    platform::core::RunLoop::main().useManualClock();
    registerSpyNib(false);
    auto element = makeElement();
    EXPECT_EQ(element->tableViewCell(), nullptr);
    EXPECT_EQ(element->elementTableViewCell(), nullptr);
    EXPECT_EQ(element->hooks, 1) << "the hook runs without a cell";
    EXPECT_FALSE(element->hookSawCell);

    // A page's data source answers such a row with a plain, empty cell.
    struct Rows : platform::ui::TableViewDataSource {
        std::vector<std::shared_ptr<OVPageElementProtocol>> elements;
        int numberOfRows(TableView&, int) override { return static_cast<int>(elements.size()); }
        std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath& p) override {
            if (auto cell = elements[static_cast<std::size_t>(p.row)]->elementTableViewCell()) return cell;
            return TableViewCell::create();
        }
    };
    auto rows = std::make_shared<Rows>();
    rows->elements = {element};
    auto table = TableView::create({0, 0, 320, 200});
    table->setDataSource(rows);
    table->layoutIfNeeded();
    ASSERT_EQ(table->visibleCells().size(), 1u);
    EXPECT_EQ(typeid(*table->visibleCells().front()), typeid(TableViewCell));
}

TEST(OVPageElement, TheTwelveReuseIdentifiersInOrder) {
    EXPECT_EQ(OVPageElement::reuseIdentifiers(),
              (std::vector<std::string>{"OVPlayerTableViewCell", "OVDescriptionTextTableViewCell",
                                        "OVShareTableViewCell", "OVOpenPodcastTableViewCell", "OVContentIdentityCell",
                                        "OVEpisodePlayCell", "OVPodcastSubscriptionCell", "OVPodcastEpisodesListCell",
                                        "OVLibraryPodcastsListCell", "OVRecommandationListCell",
                                        "OVRecommendationHeadlinesCell", "OVDiscoverRecommendationsCell"}));
}

TEST(OVPageElementTableViewCell, StartsWithItsMarginsAndNoSelectionHighlight) {
    registerSpyNib(true);
    auto cell = makeElement()->tableViewCell();
    EXPECT_EQ(cell->contentView()->layoutMargins(), (EdgeInsets{25, 12, 0, 12}));
    EXPECT_EQ(cell->selectionStyle(), platform::ui::TableViewCellSelectionStyle::none);
    cell->setTopMargin(0);
    EXPECT_EQ(cell->contentView()->layoutMargins(), (EdgeInsets{0, 12, 0, 12}));
    cell->setBottomMargin(20);
    EXPECT_EQ(cell->contentView()->layoutMargins(), (EdgeInsets{0, 12, 20, 12}));
}

TEST(OVPageElementTableViewCell, SeparatorsSpanTheirEdgeAndAreRestyledNotAdded) {
    const Color grey{0.9, 0.9, 0.9, 1};
    struct Case {
        std::string name;
        bool hidden;
        std::vector<Configuration> calls;
        std::vector<Rect> frames;  // of the lines, in the order they were added
        Color lastColor;
    };
    const std::vector<Case> cases{
        {"bottom across the whole width", false, {{grey, Position::bottom, 1, 0, 0}}, {{0, 99, 320, 1}}, grey},
        {"top stopping short on the right", false, {{grey, Position::top, 2, 12, -12}}, {{12, 0, 296, 2}}, grey},
        {"hidden separators draw nothing", true, {{grey, Position::bottom, 1, 0, 0}}, {}, grey},
        {"a theme update restyles the one line",
         false,
         {{grey, Position::bottom, 1, 0, 0}, {Color::black(), Position::bottom, 0.5, 12, 0}},
         {{12, 99.5, 308, 0.5}},
         Color::black()},
        {"one line per edge",
         false,
         {{grey, Position::top, 1, 0, 0}, {grey, Position::bottom, 1, 0, 0}},
         {{0, 0, 320, 1}, {0, 99, 320, 1}},
         grey},
    };
    registerSpyNib(true);
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto element = makeElement();
        auto cell = element->tableViewCell();
        cell->layoutIfNeeded();
        const std::size_t before = cell->subviews().size();
        cell->setSeparatorIsHidden(c.hidden);
        for (const auto& call : c.calls) cell->displaySeparator(call);
        cell->layoutIfNeeded();
        ASSERT_EQ(cell->subviews().size(), before + c.frames.size());
        for (std::size_t i = 0; i < c.frames.size(); ++i) {
            const auto& line = cell->subviews()[before + i];
            EXPECT_EQ(line->frame(), c.frames[i]);
            EXPECT_EQ(line->superview(), cell) << "on the cell, not its content view";
        }
        if (!c.frames.empty()) {
            EXPECT_EQ(cell->subviews().back()->backgroundColor(), c.lastColor);
        }
    }

    // A line follows its cell's size at the next layout.
    auto cell = makeElement()->tableViewCell();
    cell->displaySeparator({grey, Position::bottom, 1, 0, 0});
    cell->setFrame({0, 0, 375, 60});
    cell->layoutIfNeeded();
    EXPECT_EQ(cell->subviews().back()->frame(), (Rect{0, 59, 375, 1}));
}

TEST(OVPageElementTableViewCell, DrawsATableOfElementRowsWithTheirSeparators) {
    platform::core::RunLoop::main().useManualClock();
    registerSpyNib(true);
    struct Rows : platform::ui::TableViewDataSource {
        std::vector<std::shared_ptr<SpyElement>> elements;
        int numberOfRows(TableView&, int) override { return static_cast<int>(elements.size()); }
        std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath& p) override {
            return elements[static_cast<std::size_t>(p.row)]->tableViewCell();
        }
    };
    auto rows = std::make_shared<Rows>();
    const std::vector<Color> colours{Color{0.95, 0.6, 0.6, 1}, Color{0.6, 0.95, 0.6, 1}, Color{0.6, 0.6, 0.95, 1}};
    for (const auto& colour : colours) {
        auto element = makeElement();
        auto cell = element->tableViewCell();
        auto box = View::create();
        box->setBackgroundColor(colour);
        cell->contentView()->addSubview(box);
        box->setFrame(Rect{0, 0, 320, 100}.inset(cell->contentView()->layoutMargins()));
        for (int theme = 0; theme < 3; ++theme)  // repeated theme updates
            cell->displaySeparator({Color::black(), Position::bottom, 1, 12, -12});
        rows->elements.push_back(element);
    }
    auto window = platform::ui::Window::create({320, 320});
    auto table = TableView::create({0, 0, 320, 320});
    table->setSeparatorStyle(platform::ui::TableViewCellSeparatorStyle::none);
    table->setRowHeight(100);
    table->setDataSource(rows);
    window->addSubview(table);
    const auto image = window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        renderprobe::writePng(*image, std::string(dir) + "/page_element_rows.png");
    // Margins: white above the box (top 25) and at the sides (12); the
    // separator along the bottom, 12 points in from each side.
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 160, 10), {255, 255, 255, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 6, 60), {255, 255, 255, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 160, 60), {242, 153, 153, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 160, 99.5), {0, 0, 0, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 6, 99.5), {255, 255, 255, 255}, 4));
    for (const auto& e : rows->elements) EXPECT_EQ(e->tableViewCell()->subviews().size(), 3u);
}

}  // namespace
