// A screen holding a page of test elements served by the presenter base,
// with the footer under the last row, drawn into an image (written to
// $ORVANE_SNAPSHOT_DIR/screen_with_page.png when that is set).
#include <gtest/gtest.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "orvane/pages/OVGenericPageElement.hpp"
#include "orvane/pages/OVPageFooter.hpp"
#include "orvane/pages/OVPageInteractorInteractor.hpp"
#include "orvane/pages/OVScreen.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace orvane;
using namespace platform::ui;

// An element cell with a coloured box inside its content view's margins.
class BoxCell : public OVPageElementTableViewCell {
public:
    static constexpr std::string_view ReuseIdentifier = "SnapshotBoxCell";
    explicit BoxCell(ConstructorKey key) : OVPageElementTableViewCell(key, Rect{0, 0, 320, 100}) {}
    void update(const OVTheme& theme, const Color& mainColor) override {
        box_->setBackgroundColor(mainColor);
        displaySeparator({theme.separatorColor(), Separator::Position::bottom, 1, 12, -12});
    }
    void layoutSubviews() override {
        OVPageElementTableViewCell::layoutSubviews();
        box_->setFrame(contentView()->bounds().inset(contentView()->layoutMargins()));
    }
    static std::shared_ptr<BoxCell> make() { return std::make_shared<BoxCell>(ConstructorKey{}); }

private:
    std::shared_ptr<View> box_ = [this] {
        auto box = View::create();
        contentView()->addSubview(box);
        return box;
    }();
};

class BoxElement : public OVGenericPageElement<BoxCell> {
public:
    using OVGenericPageElement::OVGenericPageElement;
};

// A page whose view is a table served by its presenter.
class ElementsPage : public OVPage {
public:
    explicit ElementsPage(ConstructorKey key) : OVPage(key) {}
    static std::shared_ptr<ElementsPage> create() {
        auto page = std::make_shared<ElementsPage>(ConstructorKey{});
        page->presenter = OVPageInteractorInteractor::create(nullptr);
        return page;
    }
    void viewDidLoad() override {
        // Under the navigation bar, following the page's size.
        view()->setFrame(Rect{0, 0, 320, 480});
        table->setFrame(view()->bounds().inset(EdgeInsets{NavigationBar::height, 0, 0, 0}));
        table->setAutoresizingMask(AutoresizingMask::flexibleWidth | AutoresizingMask::flexibleHeight);
        table->setSeparatorStyle(TableViewCellSeparatorStyle::none);
        table->setRowHeight(100);
        table->setDataSource(presenter);
        view()->setBackgroundColor(Color::white());
        view()->addSubview(table);
    }
    std::shared_ptr<OVPageInteractorInteractor> presenter;
    std::shared_ptr<TableView> table = TableView::create();
};

TEST(ScreenSnapshot, AScreenShowsAPageOfElementsAndItsFooter) {
    platform::core::RunLoop::main().useManualClock();
    NibRegistry::shared().registerNib(std::string(BoxCell::ReuseIdentifier), [](NibBuild& build) {
        build.add(BoxCell::make());
        return true;
    });
    OVPageFooter::registerNib();

    auto page = ElementsPage::create();
    const std::vector<Color> colours{Color{0.95, 0.6, 0.6, 1}, Color{0.6, 0.8, 0.6, 1}, Color{0.6, 0.6, 0.95, 1}};
    OVPageElements elements;
    for (const auto& colour : colours) {
        auto element = BoxElement::create<BoxElement>(nullptr, page);
        element->tableViewCell()->update(OVTheme::light, colour);
        elements.push_back(element);
    }
    page->presenter->update(elements);
    page->presenter->update(OVTheme::light, colours.front());

    auto screen = OVScreen::create(page);
    page->navigationItem()->setTitle("Elements");
    auto window = Window::create({320, 480});
    window->setBackgroundColor(Color::black());
    window->setRootViewController(screen);
    auto footer = OVPageFooter::makeForPage(page, OVTheme::light, "Powered by Orvane");
    ASSERT_NE(footer, nullptr);
    footer->update(OVTheme::light, colours.front());
    page->table->setTableFooterView(footer);
    window->layoutIfNeeded();

    const auto image = window->snapshot();
    ASSERT_TRUE(image);
    if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR"))
        renderprobe::writePng(*image, std::string(dir) + "/screen_with_page.png");
    // The rows follow the bar, each box inside its cell's margins; the
    // footer's white band follows the last row; the corners are rounded over
    // the black window.
    EXPECT_EQ(page->table->visibleCells().size(), 3u);
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 160, 44 + 60), {242, 153, 153, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 160, 144 + 60), {153, 204, 153, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 6, 144 + 60), {255, 255, 255, 255}, 4));
    EXPECT_EQ(footer->frame().minY(), 300);
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 4, 370), {255, 255, 255, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 0.5, 0.5), {0, 0, 0, 255}, 4));
    EXPECT_TRUE(renderprobe::near(renderprobe::pixelAt(*image, 0.5, 240), {255, 255, 255, 255}, 4));
}

}  // namespace
