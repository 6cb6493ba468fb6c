#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <functional>
#include <numbers>
#include <string>
#include <vector>

#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/views/GradientLayer.hpp"
#include "platform/ui/views/ImageRenderer.hpp"
#include "platform/ui/views/Renderer.hpp"
#include "platform/ui/views/ShapeLayer.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;
using renderprobe::Rgba;

namespace {

constexpr Color red{1, 0, 0, 1};
constexpr Color blue{0, 0, 1, 1};
constexpr Rgba transparent{0, 0, 0, 0};
constexpr Rgba opaqueRed{255, 0, 0, 255};
constexpr Rgba opaqueBlue{0, 0, 255, 255};

std::shared_ptr<View> square(const Rect& frame, const Color& color) {
    auto v = View::create(frame);
    v->setBackgroundColor(color);
    return v;
}

struct Probe {
    Point at;
    Rgba expected;
    int tolerance = 8;
};

struct DrawingCase {
    std::string name;
    std::function<void(View& root)> build;
    std::vector<Probe> probes;
};

// Each case draws into a 100 x 100 window at scale 2 and checks a few pixels
// where the picture proves the behaviour.
std::vector<DrawingCase> drawingCases() {
    return {
        {"outside a rounded corner is transparent",
         [](View& root) {
             auto v = square({10, 10, 80, 80}, red);
             v->layer()->setCornerRadius(20);
             root.addSubview(v);
         },
         {{{12, 12}, transparent, 0}, {{50, 12}, opaqueRed}, {{88, 88}, transparent, 0}, {{50, 50}, opaqueRed}}},
        {"clipping to rounded bounds cuts the subviews' corners",
         [](View& root) {
             auto v = View::create({10, 10, 80, 80});
             v->layer()->setCornerRadius(20);
             v->setClipsToBounds(true);
             v->addSubview(square({0, 0, 80, 80}, blue));
             v->addSubview(square({70, 30, 40, 10}, red));  // reaches past the right edge
             root.addSubview(v);
         },
         {{{12, 12}, transparent, 0}, {{50, 50}, opaqueBlue}, {{85, 45}, opaqueRed}, {{95, 45}, transparent, 0}}},
        {"a hidden view draws nothing",
         [](View& root) {
             auto v = square({0, 0, 100, 100}, red);
             v->setHidden(true);
             v->addSubview(square({0, 0, 50, 50}, blue));
             root.addSubview(v);
         },
         {{{25, 25}, transparent, 0}, {{75, 75}, transparent, 0}}},
        {"alpha 0.5 blends over what lies beneath, children included",
         [](View& root) {
             root.setBackgroundColor(Color::white());
             auto v = square({0, 0, 100, 100}, red);
             v->setAlpha(0.5);
             v->addSubview(square({50, 0, 50, 100}, blue));
             root.addSubview(v);
         },
         {{{25, 50}, {255, 128, 128, 255}}, {{75, 50}, {128, 128, 255, 255}}}},
        {"a rotated view lands where its transform says",
         [](View& root) {
             auto v = square({30, 45, 40, 10}, red);  // horizontal bar centred at (50, 50)
             v->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
             root.addSubview(v);
         },
         {{{50, 33}, opaqueRed}, {{50, 67}, opaqueRed}, {{33, 50}, transparent, 0}, {{67, 50}, transparent, 0}}},
        {"a scaled and moved view covers its frame",
         [](View& root) {
             auto v = square({0, 0, 20, 20}, red);
             v->setTransform(AffineTransform::scale(2, 2));
             v->setCenter({70, 70});  // frame (50, 50, 40, 40)
             root.addSubview(v);
         },
         {{{52, 52}, opaqueRed}, {{88, 88}, opaqueRed}, {{48, 70}, transparent, 0}, {{10, 10}, transparent, 0}}},
        {"a shadow falls on the offset side",
         [](View& root) {
             auto v = square({30, 20, 40, 40}, red);
             v->layer()->setCornerRadius(6);
             v->layer()->setShadowOpacity(1);
             v->layer()->setShadowOffset({0, 15});
             v->layer()->setShadowRadius(2);
             root.addSubview(v);
         },
         {{{50, 40}, opaqueRed}, {{50, 68}, {0, 0, 0, 255}, 30}, {{50, 12}, transparent, 0},
          {{22, 40}, transparent, 0}}},
        {"clipping to the bounds clips the shadow",
         [](View& root) {
             auto v = square({30, 20, 40, 40}, red);
             v->layer()->setShadowOpacity(1);
             v->layer()->setShadowOffset({0, 15});
             v->setClipsToBounds(true);
             root.addSubview(v);
         },
         {{{50, 40}, opaqueRed}, {{50, 68}, transparent, 0}}},
        {"a shadow path gives the shadow's shape",
         [](View& root) {
             auto v = View::create({10, 10, 20, 20});
             v->layer()->setShadowOpacity(1);
             v->layer()->setShadowRadius(0);
             v->layer()->setShadowOffset({50, 50});
             v->layer()->setShadowPath(Path::rect({0, 0, 20, 20}));
             root.addSubview(v);
         },
         {{{70, 70}, {0, 0, 0, 255}}, {{20, 20}, transparent, 0}}},
        {"a shape's partial stroke covers its part of the path and no more",
         [](View& root) {
             auto shape = ShapeLayer::create();
             shape->setFrame({0, 0, 100, 100});
             // Clockwise from the right-hand point: the first quarter runs
             // down to the bottom point.
             shape->setPath(Path::arc({50, 50}, 40, 0, 2 * std::numbers::pi, true));
             shape->setFillColor(std::nullopt);
             shape->setStrokeColor(blue);
             shape->setLineWidth(6);
             shape->setStrokeEnd(0.25);
             root.layer()->addSublayer(shape);
         },
         {{{50 + 40 * 0.7071, 50 + 40 * 0.7071}, opaqueBlue}, {{90, 52}, opaqueBlue}, {{10, 50}, transparent, 0},
          {{50, 10}, transparent, 0}, {{50, 50}, transparent, 0}}},
        {"a shape fills its path",
         [](View& root) {
             auto shape = ShapeLayer::create();
             shape->setFrame({0, 0, 100, 100});
             shape->setPath(Path::ellipse({20, 20, 60, 60}));
             shape->setFillColor(red);
             root.layer()->addSublayer(shape);
         },
         {{{50, 50}, opaqueRed}, {{22, 22}, transparent, 0}}},
        {"a gradient runs from its start to its end point",
         [](View& root) {
             auto gradient = GradientLayer::create();
             gradient->setFrame({0, 0, 100, 100});
             gradient->setColors({red, blue});
             root.layer()->addSublayer(gradient);
         },
         {{{50, 0.2}, opaqueRed, 6}, {{50, 99.8}, opaqueBlue, 6}, {{50, 50}, {128, 0, 128, 255}, 6}}},
        {"a mask layer's alpha masks the layer",
         [](View& root) {
             auto v = square({0, 0, 100, 100}, red);
             auto mask = Layer::create();
             mask->setFrame({0, 0, 50, 100});
             mask->setBackgroundColor(Color::black());
             v->layer()->setMask(mask);
             root.addSubview(v);
         },
         {{{25, 50}, opaqueRed}, {{75, 50}, transparent, 0}}},
        {"a layer whose geometry is not a number is skipped and the others still drawn",
         [](View& root) {
             auto broken = square({0, 0, 50, 50}, blue);
             broken->setCenter({std::nan(""), 10});
             root.addSubview(broken);
             auto huge = square({0, 0, 50, 50}, blue);
             huge->layer()->setShadowOpacity(1);
             huge->layer()->setShadowRadius(1e300);
             huge->layer()->setShadowOffset({1e300, 0});
             huge->setCenter({-1000, -1000});
             root.addSubview(huge);
             root.addSubview(square({50, 50, 50, 50}, red));
         },
         {{{75, 75}, opaqueRed}, {{25, 25}, transparent, 0}}},
        {"a mask view masks its view",
         [](View& root) {
             auto v = square({0, 0, 100, 100}, red);
             v->setMaskView(square({50, 0, 50, 100}, Color::black()));
             root.addSubview(v);
         },
         {{{25, 50}, transparent, 0}, {{75, 50}, opaqueRed}}},
        {"a border is drawn inside the bounds above the subviews",
         [](View& root) {
             auto v = square({10, 10, 80, 80}, red);
             v->layer()->setBorderWidth(4);
             v->layer()->setBorderColor(blue);
             v->addSubview(square({0, 0, 80, 80}, red));
             root.addSubview(v);
         },
         {{{11, 50}, opaqueBlue}, {{16, 50}, opaqueRed}, {{9, 50}, transparent, 0}}},
    };
}

TEST(Renderer, DrawsWhatEachLayerPropertySays) {
    for (const auto& c : drawingCases()) {
        SCOPED_TRACE(c.name);
        auto window = Window::create({100, 100}, 2);
        c.build(*window);
        const auto image = window->snapshot();
        ASSERT_TRUE(image);
        ASSERT_EQ(image->pixelWidth(), 200);
        if (const char* dir = std::getenv("ORVANE_SNAPSHOT_DIR")) {
            std::string file = c.name;
            for (char& ch : file) if (ch == ' ' || ch == '\'' || ch == ',') ch = '_';
            renderprobe::writePng(*image, std::string(dir) + "/" + file + ".png");
        }
        for (const auto& probe : c.probes) {
            const auto got = renderprobe::pixelAt(*image, probe.at.x, probe.at.y);
            EXPECT_TRUE(renderprobe::near(got, probe.expected, probe.tolerance))
                << "at (" << probe.at.x << ", " << probe.at.y << "): " << renderprobe::describe(got)
                << ", expected " << renderprobe::describe(probe.expected);
        }
    }
}

// An image 2 x 1 pixels: red on the left, blue on the right.
Image redBlue() {
    return *Image::fromPixels(2, 1, {255, 0, 0, 255, 0, 0, 255, 255});
}

TEST(Renderer, PlacesContentsByGravityAndTintsStencils) {
    struct Case {
        ContentsGravity gravity;
        std::optional<Color> tint;
        std::vector<Probe> probes;
    };
    const std::vector<Case> cases{
        // 40 x 40 bounds at (0, 0); the image is twice as wide as high.
        {ContentsGravity::resize, {}, {{{10, 2}, opaqueRed}, {{30, 38}, opaqueBlue}}},
        {ContentsGravity::resizeAspect, {}, {{{10, 5}, transparent, 0}, {{10, 20}, opaqueRed}, {{30, 20}, opaqueBlue}}},
        {ContentsGravity::resizeAspectFill, {}, {{{2, 20}, opaqueRed, 30}, {{38, 20}, opaqueBlue, 30}, {{20, 1}, {128, 0, 128, 255}, 90}}},
        {ContentsGravity::center, {}, {{{19.1, 19.8}, opaqueRed}, {{20.9, 19.8}, opaqueBlue}, {{10, 10}, transparent, 0}}},
        {ContentsGravity::resize, Color{0, 1, 0, 1}, {{{10, 2}, {0, 255, 0, 255}}, {{30, 38}, {0, 255, 0, 255}}}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.gravity));
        auto layer = Layer::create();
        layer->setFrame({0, 0, 40, 40});
        layer->setContents(redBlue());
        layer->setContentsGravity(c.gravity);
        if (c.gravity == ContentsGravity::resizeAspect) {
            // The view's content mode sets the same gravity.
            auto view = View::create({0, 0, 40, 40});
            view->setContentMode(ContentMode::scaleAspectFit);
            EXPECT_EQ(view->layer()->contentsGravity(), ContentsGravity::resizeAspect);
        }
        layer->setContentsTintColor(c.tint);
        const auto image = Renderer::render(*layer, {40, 40}, 2);
        ASSERT_TRUE(image);
        for (const auto& probe : c.probes) {
            const auto got = renderprobe::pixelAt(*image, probe.at.x, probe.at.y);
            EXPECT_TRUE(renderprobe::near(got, probe.expected, probe.tolerance))
                << "at (" << probe.at.x << ", " << probe.at.y << "): " << renderprobe::describe(got);
        }
    }
}

// A source that shows every opacity at a fixed value, as an animation in
// flight would.
struct FixedOpacity : PresentationSource {
    std::optional<AnimatableValue> presentationValue(std::string_view keyPath,
                                                     const AnimatableValue&) const override {
        if (keyPath == keypath::opacity) return AnimatableValue{0.0};
        return std::nullopt;
    }
};

TEST(Renderer, DrawsPresentationValues) {
    auto window = Window::create({10, 10}, 1);
    auto v = square({0, 0, 10, 10}, red);
    window->addSubview(v);
    v->layer()->setPresentationSource(std::make_shared<FixedOpacity>());
    EXPECT_EQ(v->alpha(), 1.0);  // the model is untouched
    EXPECT_EQ(std::get<double>(*v->layer()->presentationValue(keypath::opacity)), 0.0);
    EXPECT_EQ(renderprobe::pixelAt(*window->snapshot(), 5, 5), transparent);
    v->layer()->setPresentationSource(nullptr);
    EXPECT_EQ(renderprobe::pixelAt(*window->snapshot(), 5, 5), opaqueRed);
}

TEST(ImageRenderer, DrawsIntoANewImageAtItsScale) {
    const auto image = ImageRenderer({20, 10}, 3).image([](GraphicsContext& context) {
        context.fillRect({0, 0, 10, 10}, red);
        context.fillPath(Path::ellipse({10, 0, 10, 10}), blue);
    });
    ASSERT_TRUE(image);
    EXPECT_EQ(image->pixelWidth(), 60);
    EXPECT_EQ(image->scale(), 3);
    EXPECT_EQ(renderprobe::pixelAt(*image, 5, 5), opaqueRed);
    EXPECT_EQ(renderprobe::pixelAt(*image, 15, 5), opaqueBlue);
    EXPECT_EQ(renderprobe::pixelAt(*image, 10.2, 0.2), transparent);
    EXPECT_FALSE(ImageRenderer({0, 10}).image([](GraphicsContext&) {}));
}

}  // namespace
