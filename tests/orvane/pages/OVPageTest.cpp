// The page base: its table, insets and background, the navigation-bar rule,
// the back button of pushed pages, the scroll lock of the presentation
// states, row estimates from the elements' cells, and a screen holding a
// page of test elements drawn for a person to look at.
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "orvane/pages/OVPage.hpp"
#include "orvane/pages/OVPageElement.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "orvane/toolkit/OVGradientUIView.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace orvane;
using namespace platform::ui;
using platform::core::RunLoop;
using Display = OVPage::NavigationBarDisplay;

class TestPage : public OVPage {
public:
    static std::shared_ptr<TestPage> create(Display display = Display::always, bool footerPlayer = true) {
        auto page = std::make_shared<TestPage>(ConstructorKey{});
        page->setNavigationBarDisplaysWhenScrolling(display);
        page->setPageDisplaysFoterPlayer(footerPlayer);
        return page;
    }
    explicit TestPage(ConstructorKey key) : OVPage(key) {}
    void initializeNavigationButtons() override { ++buttonSetUps; }
    void navigationBarDisplayChanged(bool to) override { heard.push_back(to); }
    int buttonSetUps = 0;
    std::vector<bool> heard;
};

// An element cell of the tests: a coloured box inside its margins, and the
// description cell's develop operation.
class OVTestElementCell : public OVPageElementTableViewCell {
public:
    static constexpr std::string_view ReuseIdentifier = "OVTestElementCell";
    static std::shared_ptr<OVTestElementCell> make(double height, Color colour) {
        auto cell = std::make_shared<OVTestElementCell>(ConstructorKey{}, Rect{0, 0, 375, height});
        auto box = View::create();
        box->setBackgroundColor(colour);
        box->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
        cell->contentView()->addSubview(box);
        box->setFrame(Rect{0, 0, 375, height}.inset(cell->contentView()->layoutMargins()));
        return cell;
    }
    OVTestElementCell(ConstructorKey key, const Rect& frame) : OVPageElementTableViewCell(key, frame) {}
    using OVPageElementTableViewCell::update;
    void update(bool textIsDeveloped) { developed = textIsDeveloped; }
    bool developed = false;
};
using TestElement = OVGenericPageElement<OVTestElementCell>;

std::shared_ptr<TestElement> makeElement(double height, Color colour) {
    NibRegistry::shared().registerNib("OVTestElementCell", [height, colour](NibBuild& build) {
        build.add(OVTestElementCell::make(height, colour));
        return true;
    });
    return TestElement::create(nullptr, nullptr);
}

bool hasGradient(const std::shared_ptr<View>& root) {
    for (const auto& v : root->subviews())
        if (std::dynamic_pointer_cast<OVGradientUIView>(v)) return true;
    return false;
}

TEST(OVPage, InsetsAndBackgroundFollowTheBarRuleAndTheFooterPlayer) {
    struct Case {
        Display display;
        bool footerPlayer;
        EdgeInsets inset;
        bool gradient;
    };
    const std::vector<Case> cases{
        {Display::always, true, {50, 0, 140, 0}, false},
        {Display::always, false, {50, 0, 50, 0}, false},
        {Display::whenScrolling, true, {0, 0, 140, 0}, true},
        {Display::never, false, {0, 0, 50, 0}, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.display));
        auto page = TestPage::create(c.display, c.footerPlayer);
        const auto root = page->view();
        EXPECT_EQ(page->buttonSetUps, 1);
        EXPECT_EQ(page->tableView()->contentInset(), c.inset);
        EXPECT_EQ(page->tableView()->superview(), root);
        EXPECT_EQ(page->tableView()->delegate(), page);
        EXPECT_EQ(page->tableView()->separatorStyle(), TableViewCellSeparatorStyle::none);
        EXPECT_EQ(hasGradient(root), c.gradient);
        EXPECT_EQ(root->backgroundColor(), c.gradient ? Color::white().withAlphaComponent(0) : Color::white());
        if (!c.gradient) continue;
        // Behind the table: transparent at the top, the theme's white from 20 %.
        auto gradient = std::dynamic_pointer_cast<OVGradientUIView>(root->subviews().front());
        ASSERT_NE(gradient, nullptr);
        EXPECT_EQ(gradient->gradientLayer()->colors(),
                  (std::vector<Color>{Color::white().withAlphaComponent(0), Color::white()}));
        EXPECT_EQ(gradient->gradientLayer()->locations(), (std::vector<double>{0, 0.2}));
        // Set up again (a theme update): the one gradient is restyled.
        page->initializeUI();
        EXPECT_EQ(root->subviews().size(), 2u);
        // Framed with the page at layout.
        root->setFrame({0, 0, 375, 700});
        root->layoutIfNeeded();
        EXPECT_EQ(gradient->frame(), (Rect{0, 0, 375, 700}));
        EXPECT_EQ(gradient->gradientLayer()->frame(), (Rect{0, 0, 375, 700}));
    }
}

TEST(OVPage, TheBarRuleAsksTheScreenAtEachAppearanceAndScroll) {
    RunLoop::main().useManualClock();
    auto page = TestPage::create(Display::whenScrolling);
    auto screen = OVScreen::create(page);
    auto window = Window::create({375, 667});
    window->setRootViewController(screen);
    window->layoutIfNeeded();
    EXPECT_FALSE(screen->navigationBarIsDisplayed()) << "offset 0 at the appearance";
    struct Step {
        double offset;
        bool shown;
    };
    for (const auto& [offset, shown] : std::vector<Step>{{100, false}, {100.5, true}, {40, false}}) {
        page->tableView()->setContentOffset({0, offset});
        EXPECT_EQ(screen->navigationBarIsDisplayed(), shown) << offset;
    }
    EXPECT_EQ(page->heard, (std::vector<bool>{false, true, false}));

    // Always and never ask for the same thing at every scroll.
    page->setNavigationBarDisplaysWhenScrolling(Display::always);
    page->tableView()->setContentOffset({0, 10});
    EXPECT_TRUE(screen->navigationBarIsDisplayed());
    page->setNavigationBarDisplaysWhenScrolling(Display::never);
    page->tableView()->setContentOffset({0, 500});
    EXPECT_FALSE(screen->navigationBarIsDisplayed());
}

TEST(OVPage, APushedPageGetsABackButtonWithTheOriginalArrowThatPops) {
    RunLoop::main().useManualClock();
    auto root = TestPage::create();
    auto screen = OVScreen::create(root);
    auto window = Window::create({375, 667});
    window->setRootViewController(screen);
    window->layoutIfNeeded();

    auto pushed = TestPage::create();
    root->push(pushed, false);
    EXPECT_EQ(screen->topViewController(), pushed);
    const auto& items = pushed->navigationItem()->leftBarButtonItems();
    ASSERT_EQ(items.size(), 1u);
    auto button = std::dynamic_pointer_cast<Button>(items.front().customView);
    ASSERT_NE(button, nullptr);
    EXPECT_EQ(pushed->leftButton(), button);
    ASSERT_TRUE(button->image(ControlState::normal).has_value());
    EXPECT_EQ(button->image(ControlState::normal)->renderingMode(), Image::RenderingMode::alwaysOriginal);

    button->sendActions(ControlEvents::touchUpInside);
    RunLoop::main().runUntil([&] { return screen->topViewController() == root; }, 2);
    EXPECT_EQ(screen->viewControllers().size(), 1u);

    // Without a screen, the other page still gets its button and nothing moves.
    auto alone = TestPage::create();
    auto other = TestPage::create();
    alone->push(other, true);
    EXPECT_NE(other->leftButton(), nullptr);
    EXPECT_EQ(other->navigationController(), nullptr);
}

TEST(OVPage, PreviewAndShrinkingLockScrollingAndFullScreenRecordsTheWidth) {
    auto page = TestPage::create();
    page->view()->setFrame({0, 0, 414, 800});
    OVPage::width().reset();
    struct Step {
        int state;
        bool scrolls;
        std::optional<double> width;
    };
    const std::vector<Step> steps{
        {OVPage::previewState, false, std::nullopt},   {OVPage::expandingState, false, std::nullopt},
        {OVPage::fullScreenState, true, 414},          {OVPage::shrinkingState, false, 414},
        {OVPage::closedState, false, 414},             {OVPage::dismissingState, false, 414},
    };
    for (const auto& s : steps) {
        page->stateDidChange(s.state);
        EXPECT_EQ(page->tableView()->isScrollEnabled(), s.scrolls) << s.state;
        EXPECT_EQ(OVPage::width(), s.width) << s.state;
    }
}

TEST(OVPage, RowEstimatesComeFromTheElementsOwnCells) {
    RunLoop::main().useManualClock();
    auto page = TestPage::create();
    page->view();
    auto& table = *page->tableView();
    EXPECT_EQ(page->estimatedHeightForRow(table, {0, 0}), TableView::automaticDimension) << "no presenter";

    auto interactor = OVPageInteractorInteractor::create(nullptr);
    auto tall = makeElement(180, Color::plainRed());
    NibRegistry::shared().unregisterNib("OVTestElementCell");
    auto cellless = TestElement::create(nullptr, nullptr);
    interactor->update(OVPageElements{tall, cellless});
    page->setGenericInteractor(interactor);
    EXPECT_EQ(page->estimatedHeightForRow(table, {0, 0}), 180);
    EXPECT_EQ(page->estimatedHeightForRow(table, {0, 1}), TableView::automaticDimension);
    EXPECT_EQ(page->estimatedHeightForRow(table, {0, 7}), TableView::automaticDimension) << "out of range";

    page->developDescription(tall);
    EXPECT_TRUE(tall->tableViewCell()->developed);
    page->developDescription(cellless);  // no cell: nothing
}

TEST(OVPage, AScreenShowsAPageOfElementsThatGrowInOneBatch) {
    RunLoop::main().useManualClock();
    auto page = TestPage::create(Display::never, false);
    auto interactor = OVPageInteractorInteractor::create(nullptr);
    auto first = makeElement(160, Color{0.95, 0.6, 0.6, 1});
    auto second = makeElement(120, Color{0.6, 0.8, 0.95, 1});
    auto third = makeElement(200, Color{0.6, 0.95, 0.6, 1});
    for (const auto& e : {first, second, third})
        e->tableViewCell()->displaySeparator({Color::black(), OVPageElementTableViewCell::Separator::Position::bottom,
                                              1, 12, -12});
    interactor->update(OVPageElements{first, second, third});
    page->setGenericInteractor(interactor);
    page->tableView()->setDataSource(interactor);

    auto screen = OVScreen::create(page);
    auto window = Window::create({375, 667});
    window->setRootViewController(screen);
    window->layoutIfNeeded();
    const auto& table = page->tableView();
    EXPECT_EQ(table->rectForRow({0, 1}), (Rect{0, 160, 375, 120}));

    // A cell that grows asks for one batch; the rows below move down.
    page->execute([&] { second->tableViewCell()->setFrame({0, 160, 375, 180}); });
    EXPECT_EQ(table->rectForRow({0, 2}), (Rect{0, 340, 375, 200}));

    RunLoop::main().advance(1);
    const auto image = window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        renderprobe::writePng(*image, std::string(dir) + "/page_of_elements.png");
    const auto origin = table->convertPoint({0, 0}, nullptr);  // the table in the window
    auto at = [&](double x, double y) { return renderprobe::pixelAt(*image, origin.x + x, origin.y + y); };
    EXPECT_TRUE(renderprobe::near(at(180, 100), {242, 153, 153, 255}, 6));
    EXPECT_TRUE(renderprobe::near(at(180, 159.5), {0, 0, 0, 255}, 6));
    EXPECT_TRUE(renderprobe::near(at(180, 300), {153, 204, 242, 255}, 6));
}

}  // namespace
