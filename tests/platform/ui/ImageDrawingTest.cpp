#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/views/ImageView.hpp"
#include "platform/ui/views/Renderer.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;
using renderprobe::Rgba;

namespace {

// 1024 x 256 pixels: the left half opaque red, the right half columns that
// alternate between `even` and `odd` (RGBA).
Image halfRedHalfStriped(std::array<std::uint8_t, 4> even, std::array<std::uint8_t, 4> odd) {
    constexpr std::size_t width = 1024, height = 256;
    std::vector<std::uint8_t> row;
    for (std::size_t x = 0; x < width; ++x) {
        const std::array<std::uint8_t, 4> red{255, 0, 0, 255};
        const auto& pixel = x < width / 2 ? red : (x % 2 == 0 ? even : odd);
        row.insert(row.end(), pixel.begin(), pixel.end());
    }
    std::vector<std::uint8_t> rgba(width * height * 4);
    for (std::size_t y = 0; y < height; ++y) std::copy(row.begin(), row.end(), rgba.begin() + y * row.size());
    return *Image::fromPixels(width, height, std::move(rgba));
}

}  // namespace

TEST(ImageDrawing, AVastImageInASmallViewShowsTheMeanOfWhatEachPixelCovers) {
    // Shown 16 times smaller than it is: each pixel of the view must be the
    // mean of the 16 x 16 pixels it covers, weighted by their alpha.
    struct Case {
        const char* what;
        Image image;
        std::optional<Color> tint;  // drawn as a template in this colour
        Rgba striped;
    };
    const std::vector<Case> cases{
        {"black and white columns", halfRedHalfStriped({0, 0, 0, 255}, {255, 255, 255, 255}), std::nullopt,
         {128, 128, 128, 255}},
        // A transparent pixel's colour counts for nothing.
        {"black columns between transparent white ones", halfRedHalfStriped({255, 255, 255, 0}, {0, 0, 0, 255}),
         std::nullopt, {0, 0, 0, 128}},
        {"the same as a template tinted green", halfRedHalfStriped({255, 255, 255, 0}, {0, 0, 0, 255}),
         Color::plainGreen(), {0, 255, 0, 128}},
    };
    for (const auto& c : cases) {
        for (double scale : {1.0, 1.5}) {
            auto window = Window::create({64, 16}, scale);
            auto view = ImageView::create(c.tint ? c.image.withRenderingMode(Image::RenderingMode::alwaysTemplate)
                                                 : c.image);
            view->setFrame({0, 0, 64, 16});
            if (c.tint) view->setTintColor(*c.tint);
            window->setRootView(view);
            window->layoutIfNeeded();
            for (int draw = 0; draw < 2; ++draw) {
                auto shot = Renderer::render(*window);
                ASSERT_TRUE(shot) << c.what;
                const Rgba left = renderprobe::pixelAt(*shot, 8, 8);
                const Rgba right = renderprobe::pixelAt(*shot, 56, 8);
                const Rgba red = c.tint ? Rgba{0, 255, 0, 255} : Rgba{255, 0, 0, 255};
                EXPECT_TRUE(renderprobe::near(left, red, 2))
                    << c.what << " at " << scale << "x: " << renderprobe::describe(left);
                EXPECT_TRUE(renderprobe::near(right, c.striped, 3))
                    << c.what << " at " << scale << "x: " << renderprobe::describe(right);
            }
        }
    }
}
