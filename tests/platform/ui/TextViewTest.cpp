#include "platform/ui/text/TextView.hpp"

#include <gtest/gtest.h>

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

}  // namespace
}  // namespace platform::ui
