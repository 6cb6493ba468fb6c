#include <gtest/gtest.h>

#include "orvane/toolkit/OVBlurButtonWithMask.hpp"
#include "orvane/toolkit/OVRoundBlurButtonWithContent.hpp"
#include "orvane/toolkit/OVRoundBlurViewWithContent.hpp"
#include "orvane/toolkit/RectExtensions.hpp"
#include "platform/ui/views/Window.hpp"

using namespace orvane;
using namespace platform::ui;
using Style = BlurEffect::Style;

namespace {

Image square(int side) { return *Image::fromPixels(side, side, std::vector<std::uint8_t>(side * side * 4, 255)); }

Style styleOf(const VisualEffectView& view) {
    auto blur = std::dynamic_pointer_cast<const BlurEffect>(view.effect());
    EXPECT_TRUE(blur);
    return blur ? blur->style() : Style::regular;
}

TEST(OVBlurViews, RectangleCentreLeavesTheOriginOut) {
    EXPECT_EQ(center(Rect{10, 20, 100, 50}), (Point{50, 25}));
    EXPECT_EQ(center(Rect{0, 0, -40, 30}), (Point{20, 15}));
}

TEST(OVBlurViews, ContentIsCentredAndANilImageChangesNothing) {
    auto round = OVRoundBlurViewWithContent::create({0, 0, 60, 60});
    auto content = View::create({5, 5, 20, 20});
    round->set(content, Style::dark);
    EXPECT_EQ(content->frame(), (Rect{20, 20, 20, 20}));
    EXPECT_EQ(styleOf(*round->blur()), Style::dark);
    round->set(std::optional<Image>{}, Style::light);
    EXPECT_EQ(styleOf(*round->blur()), Style::dark);

    auto button = OVRoundBlurButtonWithContent::create({0, 0, 44, 44});
    button->setRadius(22);
    button->initialize();
    button->setWithVibrancy(std::nullopt, Style::light);
    EXPECT_FALSE(button->blur()->effect());
    button->setWithVibrancy(square(10), Style::extraLight);
    button->setWithVibrancy(square(10), Style::extraLight);
    // Two vibrancy views; the image view lives in the newest one.
    const auto& inBlur = button->blur()->contentView()->subviews();
    ASSERT_EQ(inBlur.size(), 2u);
    auto newest = std::dynamic_pointer_cast<VisualEffectView>(inBlur.back());
    ASSERT_TRUE(newest);
    EXPECT_EQ(button->customImageView()->superview(), newest->contentView());
    EXPECT_EQ(button->customImageView()->frame(), (Rect{17, 17, 10, 10}));
}

TEST(OVBlurViews, AMaskButtonIsAsLargeAsItsMaskImageOnlyOnceSet) {
    auto button = OVBlurButtonWithMask::create();
    button->setFrame({0, 0, 50, 50});
    button->layoutIfNeeded();
    EXPECT_FALSE(button->blur()->effect());
    EXPECT_EQ(button->blur()->frame(), (Rect{25, 25, 0, 0}));
    button->setBlurWithAlphaMask(square(20), Style::light);
    button->layoutIfNeeded();
    EXPECT_EQ(button->blur()->frame(), (Rect{15, 15, 20, 20}));
    ASSERT_TRUE(button->blur()->maskView());
    EXPECT_EQ(button->blur()->maskView()->frame(), (Rect{0, 0, 20, 20}));
}

TEST(OVBlurViews, ARoundButtonInitialisedWithRadiusZeroShowsNoBlur) {
    for (double radius : {0.0, 20.0}) {
        auto window = Window::create({40, 40});
        auto stripes = View::create({0, 0, 20, 40});
        stripes->setBackgroundColor(Color::black());
        window->addSubview(stripes);
        auto before = window->snapshot();
        auto button = OVRoundBlurButtonWithContent::create({0, 0, 40, 40});
        button->setRadius(radius);
        button->initialize();
        button->set(square(4), Style::dark);
        button->customImageView()->setHidden(true);
        window->addSubview(button);
        auto after = window->snapshot();
        ASSERT_TRUE(before && after);
        const bool same = std::ranges::equal(before->pixels(), after->pixels());
        EXPECT_EQ(same, radius == 0) << radius;
    }
}

}  // namespace
