#include "orvane/toolkit/OVGradientUIView.hpp"

#include <gtest/gtest.h>

#include "platform/ui/views/Window.hpp"

namespace orvane {
namespace {

using platform::graphics::Color;
using platform::graphics::Rect;

TEST(OVGradientUIView, GradientFillsTheViewBehindItsContentAndFollowsAResize) {
    auto window = platform::ui::Window::create({300, 200}, 1);
    auto view = OVGradientUIView::create({0, 0, 100, 50});
    auto child = platform::ui::View::create({0, 0, 10, 10});
    view->addSubview(child);
    window->addSubview(view);
    EXPECT_EQ(view->layer()->sublayers().front(), view->gradientLayer());

    const Color red{1, 0, 0, 1}, blue{0, 0, 1, 1};
    view->gradient({{0, red}, {0.25, blue}});
    EXPECT_EQ(view->gradientLayer()->colors(), (std::vector<Color>{red, blue}));
    EXPECT_EQ(view->gradientLayer()->locations(), (std::vector<double>{0, 0.25}));

    view->layoutIfNeeded();
    EXPECT_EQ(view->gradientLayer()->frame(), (Rect{0, 0, 100, 50}));
    view->setFrame({0, 0, 200, 80});
    EXPECT_EQ(view->gradientLayer()->frame(), (Rect{0, 0, 100, 50}));  // until the layout pass
    view->layoutIfNeeded();
    EXPECT_EQ(view->gradientLayer()->frame(), (Rect{0, 0, 200, 80}));

    view->gradient({});
    EXPECT_TRUE(view->gradientLayer()->colors().empty());
    EXPECT_EQ(view->gradientLayer()->locations(), std::vector<double>{});
}

}  // namespace
}  // namespace orvane
