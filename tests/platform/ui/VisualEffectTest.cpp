#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

#include "RenderProbe.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/VisualEffectView.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

// Black and white squares of 4 points at scale 2.
Image checkerboard(int points) {
    const int n = points * 2;
    std::vector<std::uint8_t> rgba(static_cast<std::size_t>(n) * n * 4);
    for (int y = 0; y < n; ++y)
        for (int x = 0; x < n; ++x) {
            const std::uint8_t v = ((x / 8 + y / 8) % 2) ? 255 : 0;
            auto* p = &rgba[(static_cast<std::size_t>(y) * n + x) * 4];
            p[0] = p[1] = p[2] = v;
            p[3] = 255;
        }
    return *Image::fromPixels(n, n, std::move(rgba), 2);
}

// Variance of the luminance over a rectangle of points.
double variance(const Image& image, const Rect& r) {
    double sum = 0, sq = 0, count = 0;
    for (double y = r.minY() + 0.25; y < r.maxY(); y += 0.5)
        for (double x = r.minX() + 0.25; x < r.maxX(); x += 0.5) {
            const auto c = renderprobe::pixelAt(image, x, y);
            const double l = (c[0] + c[1] + c[2]) / 3.0;
            sum += l;
            sq += l * l;
            ++count;
        }
    const double mean = sum / count;
    return sq / count - mean * mean;
}

struct Scene {
    std::shared_ptr<Window> window = Window::create({160, 160});
    Scene() {
        auto board = View::create({0, 0, 160, 160});
        board->layer()->setContents(checkerboard(160));
        window->addSubview(board);
    }
};

TEST(VisualEffect, ABlurSmoothsWhatLiesBeneathOnlyInsideItsMask) {
    const Rect inner{40, 40, 80, 80};  // away from the mask's edge
    Scene plain;
    auto before = plain.window->snapshot();
    ASSERT_TRUE(before);

    for (auto style : {BlurEffect::Style::light, BlurEffect::Style::dark, BlurEffect::Style::extraLight}) {
        Scene blurred;
        auto effect = VisualEffectView::create(BlurEffect::create(style), {20, 20, 120, 120});
        // A round mask of radius 50 centred in the effect view.
        auto mask = View::create({0, 0, 120, 120});
        auto disc = ShapeLayer::create();
        disc->setPath(Path::ellipse({10, 10, 100, 100}));
        mask->layer()->addSublayer(disc);
        effect->setMaskView(mask);
        blurred.window->addSubview(effect);
        auto after = blurred.window->snapshot();
        ASSERT_TRUE(after);
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR")) {
            renderprobe::writePng(*after, (std::filesystem::path(dir) / "blur.png").string());
        }
        EXPECT_LT(variance(*after, inner), variance(*before, inner) / 20);
        // Outside the disc (the effect view's corners, and beyond it)
        // nothing changed.
        for (Point p : {Point{22, 22}, Point{137, 22}, Point{22, 137}, Point{137, 137}, Point{5, 80},
                        Point{150, 150}, Point{80, 5}}) {
            EXPECT_EQ(renderprobe::pixelAt(*after, p.x, p.y), renderprobe::pixelAt(*before, p.x, p.y))
                << p.x << ", " << p.y;
        }
    }
}

TEST(VisualEffect, NoEffectAndVibrancyDrawNoBackdrop) {
    Scene plain;
    auto before = plain.window->snapshot();
    Scene scene;
    auto none = VisualEffectView::create(nullptr, {0, 0, 80, 160});
    auto vibrancy = VisualEffectView::create(
        VibrancyEffect::create(BlurEffect::create(BlurEffect::Style::light)), {80, 0, 80, 160});
    scene.window->addSubview(none);
    scene.window->addSubview(vibrancy);
    auto after = scene.window->snapshot();
    ASSERT_TRUE(before && after);
    EXPECT_TRUE(std::ranges::equal(before->pixels(), after->pixels()));
}

}  // namespace
