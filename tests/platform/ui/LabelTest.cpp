#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/Window.hpp"

#include <gtest/gtest.h>

#include "platform/ui/RenderProbe.hpp"

#include <memory>
#include <string>
#include <vector>

namespace platform::ui {
namespace {

TEST(LabelTest, IntrinsicAndFittingSizesFollowLinesAndBreakMode) {
    ScopedTextMeasurer fixed(std::make_shared<FixedAdvanceTextMeasurer>(10, 20));
    struct Case {
        std::string text;
        int lines;
        double preferredWidth;
        std::optional<double> fitWidth;
        Size size;
    };
    const std::vector<Case> cases = {
        {"twenty characters!!!", 1, 0, {}, {200, 20}},
        {"twenty characters!!!", 1, 0, 95, {90, 20}},
        {"aaaa bbbb cccc dd", 0, 95, {}, {90, 40}},
        {"aaaa bbbb cccc dd", 2, 0, 45, {40, 40}},
        {"", 1, 0, {}, {0, 0}},
    };
    for (const Case& c : cases) {
        auto label = Label::create();
        label->setText(c.text);
        label->setNumberOfLines(c.lines);
        label->setPreferredMaxLayoutWidth(c.preferredWidth);
        const Size size = c.fitWidth ? label->sizeThatFits({*c.fitWidth, 1000}) : label->intrinsicContentSize();
        EXPECT_EQ(size, c.size) << c.text;
    }
}

TEST(LabelTest, SnapshotHasTextPixelsInsideTheFrameAndNoneOutsideWhenClipped) {
    auto window = Window::create({200, 100}, 1);
    auto label = Label::create({20, 30, 80, 40});
    label->setText("MMMMMMMMMMMMMMMMMMMM");
    label->setFont(Font::systemFont(24));
    label->setLineBreakMode(LineBreakMode::byClipping);
    window->addSubview(label);

    const auto image = window->snapshot();
    ASSERT_TRUE(image.has_value());
    int inside = 0, outside = 0;
    for (int y = 0; y < 100; ++y) {
        for (int x = 0; x < 200; ++x) {
            if (renderprobe::pixelAt(*image, x + 0.5, y + 0.5)[3] == 0) continue;
            (x >= 20 && x < 100 && y >= 30 && y < 70 ? inside : outside)++;
        }
    }
    EXPECT_GT(inside, 200);
    EXPECT_EQ(outside, 0);
}

}  // namespace
}  // namespace platform::ui
