// The page footer: made from its nib it shows the powered-by text in the
// theme's colours; made in code, or with its presenter's view gone, it
// ignores updates; a page gets one only with a theme and a text.
#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "orvane/pages/OVPageFooter.hpp"
#include "platform/ui/controllers/NibRegistry.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/lists/TableView.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace orvane;
using namespace platform::ui;

class OVPageFooterTest : public ::testing::Test {
protected:
    void SetUp() override { OVPageFooter::registerNib(); }
    void TearDown() override { NibRegistry::shared().unregisterNib(OVPageFooter::nibName); }
};

TEST_F(OVPageFooterTest, AFooterFromItsNibTakesTheThemeColoursAndTheText) {
    auto footer = NibRegistry::shared().instantiateFirst<OVPageFooter>(OVPageFooter::nibName);
    ASSERT_NE(footer, nullptr);
    ASSERT_NE(footer->propulsedText(), nullptr);
    ASSERT_NE(footer->interactor(), nullptr);
    for (const auto& theme : {OVTheme::dark, OVTheme::light}) {
        for (const auto& mainColor : {Color::plainRed(), Color::black()}) {
            footer->update(theme, mainColor);
            EXPECT_EQ(footer->backgroundColor(), theme.backgroundColor());
            EXPECT_EQ(footer->propulsedText()->textColor(), theme.propulsedTextColor());
        }
    }
    EXPECT_EQ(footer->backgroundColor(), OVTheme::light.backgroundColor());
    footer->update(std::string("Powered by Orvane"));
    EXPECT_EQ(footer->propulsedText()->text(), "Powered by Orvane");
}

TEST_F(OVPageFooterTest, AFooterWithoutItsPresenterOrLabelIgnoresUpdates) {
    // Made in code: neither presenter nor label.
    auto plain = OVPageFooter::create(Rect{0, 0, 320, 50});
    plain->update(OVTheme::dark, Color::plainRed());
    plain->update(std::string("ignored"));
    EXPECT_EQ(plain->backgroundColor(), std::nullopt);
    EXPECT_EQ(plain->interactor(), nullptr);

    // A presenter whose footer is gone tells no one.
    auto gone = OVPageFooter::create();
    OVPageFooterInteractor interactor(gone);
    gone.reset();
    interactor.update(OVTheme::dark, Color::black());
    interactor.update(std::string("ignored"));

    // A nib that does not connect the label: colours of the footer only.
    NibRegistry::shared().registerNib(OVPageFooter::nibName, [](NibBuild& build) {
        build.add(OVPageFooter::create(Rect{0, 0, 320, 50}));
        return true;
    });
    auto unlabelled = NibRegistry::shared().instantiateFirst<OVPageFooter>(OVPageFooter::nibName);
    ASSERT_NE(unlabelled, nullptr);
    unlabelled->update(OVTheme::dark, Color::black());
    unlabelled->update(std::string("ignored"));
    EXPECT_EQ(unlabelled->backgroundColor(), OVTheme::dark.backgroundColor());
    EXPECT_EQ(unlabelled->propulsedText(), nullptr);
}

TEST_F(OVPageFooterTest, APageGetsAFooterOnlyWithAThemeAndAText) {
    struct Case {
        const char* name;
        std::optional<OVTheme> theme;
        std::optional<std::string> text;
        bool nib;
        bool footer;
    };
    const std::vector<Case> cases = {
        {"theme and text", OVTheme::light, "Powered by Orvane", true, true},
        {"no theme", std::nullopt, "Powered by Orvane", true, false},
        {"no text", OVTheme::light, std::nullopt, true, false},
        {"the module's nib made known on first use", OVTheme::light, "Powered by Orvane", false, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        if (c.nib) {
            OVPageFooter::registerNib();
        } else {
            NibRegistry::shared().unregisterNib(OVPageFooter::nibName);
        }
        auto footer = OVPageFooter::makeForPage(nullptr, c.theme, c.text);
        ASSERT_EQ(footer != nullptr, c.footer);
        if (!footer) continue;
        EXPECT_EQ(footer->propulsedText()->text(), *c.text);
        // No theme is applied: the nib's colours stay.
        EXPECT_EQ(footer->backgroundColor(), std::nullopt);
    }
    // A nib whose first object is of another class gives none.
    NibRegistry::shared().registerNib(OVPageFooter::nibName, [](NibBuild& build) {
        build.add(View::create());
        return true;
    });
    EXPECT_EQ(OVPageFooter::makeForPage(nullptr, OVTheme::light, "text"), nullptr);
}

// Two rows of 60 points for the footer to follow.
class TwoRows : public TableViewDataSource {
public:
    int numberOfRows(TableView&, int) override { return 2; }
    std::shared_ptr<TableViewCell> cellForRow(TableView&, const IndexPath&) override { return TableViewCell::create(); }
};

TEST_F(OVPageFooterTest, TheFooterIsHeldAt50PointsUnderTheLastRowUnlessARequiredConstraintSaysOtherwise) {
    auto window = Window::create({320, 600});
    auto table = TableView::create(Rect{0, 0, 320, 600});
    auto rows = std::make_shared<TwoRows>();
    table->setDataSource(rows);
    table->setRowHeight(60);
    window->addSubview(table);
    auto footer = OVPageFooter::makeForPage(nullptr, OVTheme::light, "Powered by Orvane");
    ASSERT_NE(footer, nullptr);
    table->setTableFooterView(footer);
    window->layoutIfNeeded();
    EXPECT_EQ(footer->frame(), (Rect{0, 120, 320, 50}));
    EXPECT_EQ(table->contentSize().height, 170);
    EXPECT_EQ(footer->propulsedText()->text(), "Powered by Orvane");

    // Placed by the solver: 50 high, below a required height.
    auto held = NibRegistry::shared().instantiateFirst<OVPageFooter>(OVPageFooter::nibName);
    ASSERT_NE(held, nullptr);
    held->setTranslatesAutoresizingMaskIntoConstraints(false);
    window->addSubview(held);
    LayoutConstraint::activate({held->topAnchor().constraintEqualTo(window->topAnchor()),
                                held->leftAnchor().constraintEqualTo(window->leftAnchor()),
                                held->widthAnchor().constraintEqualToConstant(320)});
    window->layoutIfNeeded();
    EXPECT_EQ(held->frame(), (Rect{0, 0, 320, 50}));
    auto required = held->heightAnchor().constraintEqualToConstant(80);
    required->setActive(true);
    window->layoutIfNeeded();
    EXPECT_EQ(held->frame().height(), 80);
}

}  // namespace
