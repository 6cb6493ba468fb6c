#include "platform/ui/text/TextView.hpp"

#include <gtest/gtest.h>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/views/Application.hpp"
#include "platform/ui/views/Window.hpp"
#include "support/TouchDriver.hpp"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {
namespace {

TEST(TextViewTest, FittingSizeCountsInsetsPaddingAndTheLineLimit) {
    ScopedTextMeasurer fixed(std::make_shared<FixedAdvanceTextMeasurer>(10, 20));
    struct Case {
        int lines;
        EdgeInsets inset;
        Size size;
    };
    // 105 wide: 95 for the text after 5 points of padding at each end.
    const std::vector<Case> cases = {
        {0, {8, 0, 8, 0}, {100, 56}},
        {1, {8, 0, 8, 0}, {100, 36}},
        {0, {0, 0, 0, 0}, {100, 40}},
        {0, {4, 10, 6, 10}, {100, 70}},  // 75 for the text: "aaaa", "bbbb", "cccc dd"
    };
    for (const Case& c : cases) {
        auto view = TextView::create();
        view->setText("aaaa bbbb cccc dd");
        view->setMaximumNumberOfLines(c.lines);
        view->setLineBreakMode(c.lines ? LineBreakMode::byTruncatingTail : LineBreakMode::byWordWrapping);
        view->setTextContainerInset(c.inset);
        EXPECT_EQ(view->sizeThatFits({105, 1000}), c.size) << c.lines;
    }
}

TEST(TextViewTest, LinksOpenOnlyWhenTheDelegateAgrees) {
    struct Delegate : TextViewDelegate {
        bool allow = false;
        std::vector<std::string> asked;
        bool shouldInteractWithURL(TextView&, const std::string& url, TextRange) override {
            asked.push_back(url);
            return allow;
        }
    };
    auto view = TextView::create();
    AttributedString text("see the page");
    text.addAttribute(AttributeKey::link, std::string("https://example.test/p"), {8, 4});
    view->setAttributedText(text);
    std::vector<std::string> opened;
    view->setLinkOpener([&](const std::string& url) { opened.push_back(url); });
    auto delegate = std::make_shared<Delegate>();
    view->setDelegate(delegate);

    EXPECT_FALSE(view->activateLink(1));   // no link there: nobody asked
    EXPECT_FALSE(view->activateLink(9));   // refused
    delegate->allow = true;
    EXPECT_TRUE(view->activateLink(10));
    EXPECT_EQ(delegate->asked, (std::vector<std::string>{"https://example.test/p", "https://example.test/p"}));
    EXPECT_EQ(opened, (std::vector<std::string>{"https://example.test/p"}));
}

TEST(TextViewTest, ATapOnALinkOpensItThroughTheApplicationWhenAllowed) {
    platform::core::RunLoop::main().useManualClock();
    struct Delegate : TextViewDelegate {
        bool allow = true;
        std::vector<std::string> asked;
        bool shouldInteractWithURL(TextView&, const std::string& url, TextRange range) override {
            EXPECT_EQ(range, (TextRange{8, 4}));
            asked.push_back(url);
            return allow;
        }
    };
    auto window = Window::create({320, 200});
    auto view = TextView::create({0, 0, 300, 100});
    window->addSubview(view);
    const Font font = Font::systemFont(15);
    AttributedString text("see the page", {font, {}, {}, {}});
    text.addAttribute(AttributeKey::link, std::string("https://example.test/p"), {8, 4});
    view->setAttributedText(text);
    auto delegate = std::make_shared<Delegate>();
    view->setDelegate(delegate);
    window->layoutIfNeeded();

    // The link starts after "see the ", past the insets (8 above, 5 of padding).
    const double linkX = 5 + AttributedString("see the ", {font, {}, {}, {}}).size().width;
    const Point onLink{linkX + 6, 8 + 7}, onPlainText{5 + 4, 8 + 7}, belowTheText{linkX + 6, 80};
    EXPECT_EQ(view->characterIndexAt(onLink), 8u);
    EXPECT_EQ(view->characterIndexAt(onPlainText), 0u);
    EXPECT_EQ(view->characterIndexAt(belowTheText), std::nullopt);

    auto& app = Application::shared();
    const auto opened = [&] { return app.openedURLs().size(); };
    const std::size_t before = opened();
    testsupport::tap(*window, onPlainText);
    testsupport::tap(*window, belowTheText);
    EXPECT_TRUE(delegate->asked.empty());
    testsupport::tap(*window, onLink);
    EXPECT_EQ(delegate->asked.size(), 1u);
    ASSERT_EQ(opened(), before + 1);
    EXPECT_EQ(app.openedURLs().back(), "https://example.test/p");

    // Refused by the delegate, dragged off the link, or not selectable: nothing opens.
    delegate->allow = false;
    testsupport::tap(*window, onLink);
    EXPECT_EQ(delegate->asked.size(), 2u);
    delegate->allow = true;
    testsupport::drag(*window, onLink, {onLink.x + 150, onLink.y}, 0.3, 5);
    view->setSelectable(false);
    testsupport::tap(*window, onLink);
    EXPECT_EQ(delegate->asked.size(), 2u);
    EXPECT_EQ(opened(), before + 1);

    // An opener of its own takes the link instead of the application.
    view->setSelectable(true);
    std::vector<std::string> taken;
    view->setLinkOpener([&](const std::string& url) { taken.push_back(url); });
    testsupport::tap(*window, onLink);
    EXPECT_EQ(taken, (std::vector<std::string>{"https://example.test/p"}));
    EXPECT_EQ(opened(), before + 1);
}

}  // namespace
}  // namespace platform::ui
