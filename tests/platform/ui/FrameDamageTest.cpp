// Frames drawn for a host: only the damaged area is redrawn into the kept
// backing surface, an idle window draws nothing, and one frame shows every
// animation at one time.
#include <gtest/gtest.h>

#include <cairo.h>

#include <atomic>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "platform/core/DebugPrint.hpp"
#include "platform/core/RunLoop.hpp"
#include "platform/ui/animation/BasicAnimation.hpp"
#include "platform/ui/animation/FrameClock.hpp"
#include "platform/ui/layout/LayoutConstraint.hpp"
#include "platform/ui/text/Label.hpp"
#include "platform/ui/views/Renderer.hpp"
#include "platform/ui/views/Window.hpp"

namespace {

using namespace platform::ui;
using platform::core::RunLoop;

constexpr Color red{1, 0, 0, 1};
constexpr Color blue{0, 0, 1, 1};
constexpr Color white{1, 1, 1, 1};

// The backing surface's pixels, row by row.
std::vector<std::uint32_t> pixels(cairo_surface_t* surface) {
    cairo_surface_flush(surface);
    const int w = cairo_image_surface_get_width(surface), h = cairo_image_surface_get_height(surface);
    const int stride = cairo_image_surface_get_stride(surface);
    const unsigned char* data = cairo_image_surface_get_data(surface);
    std::vector<std::uint32_t> out(static_cast<std::size_t>(w) * h);
    for (int y = 0; y < h; ++y) std::memcpy(&out[static_cast<std::size_t>(y) * w], data + y * stride, w * 4u);
    return out;
}

// The whole window drawn afresh at the same time, in the backing surface's
// format.
std::vector<std::uint32_t> freshDrawing(const Window& window) {
    const int w = static_cast<int>(window.size().width * window.scale());
    const int h = static_cast<int>(window.size().height * window.scale());
    cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, w, h);
    cairo_t* cr = cairo_create(surface);
    cairo_scale(cr, window.scale(), window.scale());
    Renderer::draw(cr, *window.layer());
    cairo_destroy(cr);
    auto out = pixels(surface);
    cairo_surface_destroy(surface);
    return out;
}

class FrameDamageTest : public ::testing::Test {
protected:
    void SetUp() override {
        RunLoop::main().useManualClock();
        window = Window::create({100, 100}, 2);
        root = View::create();
        root->setBackgroundColor(white);
        window->setRootView(root);
    }
    void TearDown() override {
        window->setFrameRequestHandler({});
        RunLoop::main().useManualClock();
    }
    std::shared_ptr<Window> window;
    std::shared_ptr<View> root;
};

struct DamageCase {
    std::string name;
    // Builds what the window shows before the change.
    std::function<void(View& root, std::vector<std::shared_ptr<View>>& views)> build;
    std::function<void(std::vector<std::shared_ptr<View>>& views)> change;
    Rect damage;
};

std::shared_ptr<View> square(const Rect& frame, const Color& color) {
    auto v = View::create(frame);
    v->setBackgroundColor(color);
    return v;
}

TEST_F(FrameDamageTest, AFrameRedrawsExactlyWhatChanged) {
    const std::vector<DamageCase> cases = {
        {"a background colour",
         [](View& r, auto& v) { r.addSubview(v.emplace_back(square({10, 10, 20, 20}, red))); },
         [](auto& v) { v[0]->setBackgroundColor(blue); }, Rect{10, 10, 20, 20}},
        {"the same colour again",
         [](View& r, auto& v) { r.addSubview(v.emplace_back(square({10, 10, 20, 20}, red))); },
         [](auto& v) { v[0]->setBackgroundColor(red); }, Rect{}},
        {"a moved view: where it was and where it is",
         [](View& r, auto& v) { r.addSubview(v.emplace_back(square({10, 10, 20, 20}, red))); },
         [](auto& v) { v[0]->setFrame({50, 60, 20, 20}); }, Rect{10, 10, 60, 70}},
        {"a subview of a scaled superview, through the transform",
         [](View& r, auto& v) {
             auto parent = View::create({40, 40, 20, 20});
             parent->setTransform(AffineTransform::scale(2, 2));
             parent->addSubview(v.emplace_back(square({0, 0, 10, 5}, red)));
             r.addSubview(parent);
         },
         [](auto& v) { v[0]->setCenter({15, 12.5}); }, Rect{30, 30, 40, 30}},
        {"a hidden view",
         [](View& r, auto& v) { r.addSubview(v.emplace_back(square({10, 10, 20, 20}, red))); },
         [](auto& v) { v[0]->setHidden(true); }, Rect{10, 10, 20, 20}},
        {"a view with a shadow, shadow included",
         [](View& r, auto& v) {
             auto s = v.emplace_back(square({40, 40, 20, 20}, red));
             s->layer()->setShadowOpacity(0.5);
             s->layer()->setShadowRadius(2);
             s->layer()->setShadowOffset({0, 0});
             r.addSubview(s);
         },
         [](auto& v) { v[0]->setBackgroundColor(blue); }, Rect{37, 37, 26, 26}},
        {"a removed view",
         [](View& r, auto& v) { r.addSubview(v.emplace_back(square({70, 10, 20, 30}, red))); },
         [](auto& v) { v[0]->removeFromSuperview(); }, Rect{70, 10, 20, 30}},
        {"a label's text",
         [](View& r, auto& v) {
             auto label = Label::create({10, 40, 80, 20});
             label->setText("Before");
             v.push_back(label);
             r.addSubview(label);
         },
         [](auto& v) { std::static_pointer_cast<Label>(v[0])->setText("After"); }, Rect{10, 40, 80, 20}},
        {"an animation frame: where it showed and where it shows",
         [](View& r, auto& v) {
             auto s = v.emplace_back(square({0, 0, 20, 20}, red));
             r.addSubview(s);
             RunLoop::main().runUntilIdle();
             View::animate(1, 0, ViewAnimationOptions{.curve = ViewAnimationCurve::linear},
                           [&] { s->setFrame({80, 0, 20, 20}); });
             RunLoop::main().advance(0.25);
         },
         [](auto&) { RunLoop::main().advance(0.25); }, Rect{20, 0, 40, 20}},
        {"a change beside an animation out of sight below the window: the change alone",
         [](View& r, auto& v) {
             r.addSubview(v.emplace_back(square({10, 10, 20, 20}, red)));
             auto below = square({0, 150, 20, 20}, blue);
             r.addSubview(below);
             RunLoop::main().runUntilIdle();
             View::animate(1, 0, ViewAnimationOptions{.curve = ViewAnimationCurve::linear},
                           [&] { below->setFrame({80, 150, 20, 20}); });
             RunLoop::main().advance(0.25);
         },
         [](auto& v) {
             RunLoop::main().advance(0.25);
             v[0]->setBackgroundColor(blue);
         },
         Rect{10, 10, 20, 20}},
        {"a change beneath an opaque view, within a shadowed and bordered parent: the same picture",
         [](View& r, auto& v) {
             r.addSubview(v.emplace_back(square({4, 10, 20, 20}, red)));
             auto parent = View::create({5, 5, 80, 80});
             parent->layer()->setShadowOpacity(0.5);
             parent->layer()->setShadowRadius(2);
             parent->layer()->setBorderWidth(2);
             parent->layer()->setBorderColor(blue);
             auto cover = square({-10, -10, 80, 80}, white);
             cover->layer()->setCornerRadius(4);
             parent->addSubview(cover);
             r.addSubview(parent);
         },
         [](auto& v) { v[0]->setBackgroundColor(blue); }, Rect{4, 10, 20, 20}},
        {"a change inside a rounded view with a shadow: the shadow, hidden there, is not redrawn",
         [](View& r, auto& v) {
             auto card = square({30, 30, 50, 50}, white);
             card->layer()->setCornerRadius(25);
             card->layer()->setShadowOpacity(0.5);
             card->layer()->setShadowRadius(4);
             card->addSubview(v.emplace_back(square({20, 20, 10, 10}, red)));
             r.addSubview(card);
         },
         [](auto& v) { v[0]->setBackgroundColor(blue); }, Rect{50, 50, 10, 10}},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SetUp();
        std::vector<std::shared_ptr<View>> views;
        c.build(*root, views);
        window->renderFrame();
        ASSERT_NE(window->backingSurface(), nullptr);
        const auto before = pixels(window->backingSurface());

        c.change(views);
        const Rect damage = window->renderFrame();
        EXPECT_EQ(damage, c.damage);

        const auto after = pixels(window->backingSurface());
        EXPECT_EQ(after, freshDrawing(*window)) << "the partial redraw differs from a full one";
        const int w = 200;
        std::size_t touchedOutside = 0;
        for (std::size_t i = 0; i < after.size(); ++i) {
            const Point p{(static_cast<int>(i) % w + 0.5) / 2, (static_cast<int>(i) / w + 0.5) / 2};
            if (!damage.contains(p) && after[i] != before[i]) ++touchedOutside;
        }
        EXPECT_EQ(touchedOutside, 0u) << "pixels outside the damage changed";
        TearDown();
    }
}

TEST_F(FrameDamageTest, AnIdleWindowAsksForNoFrameAndDrawsNothing) {
    int requests = 0;
    window->setFrameRequestHandler([&] { ++requests; });
    EXPECT_EQ(requests, 1) << "the first frame is due";
    auto view = square({10, 10, 20, 20}, red);
    root->addSubview(view);
    EXPECT_EQ(requests, 1) << "one request until the frame is drawn";
    EXPECT_EQ(window->renderFrame(), (Rect{0, 0, 100, 100}));
    EXPECT_FALSE(window->needsFrame());

    // A second of clock with nothing changing: no request, no drawing.
    cairo_surface_t* surface = window->backingSurface();
    auto* data = reinterpret_cast<std::uint32_t*>(cairo_image_surface_get_data(surface));
    data[0] = 0x12345678;  // a mark that any redraw of the corner would wipe
    cairo_surface_mark_dirty(surface);
    for (int i = 0; i < 60; ++i) {
        RunLoop::main().advance(1.0 / 60);
        EXPECT_EQ(window->renderFrame(), Rect{});
    }
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(window->needsFrame());
    EXPECT_EQ(window->backingSurface(), surface) << "the surface is kept between frames";
    EXPECT_EQ(data[0], 0x12345678u);

    // An animation asks at each frame until it has ended, then stops asking.
    View::animate(0.1, [&] { view->setAlpha(0.5); });
    EXPECT_EQ(requests, 2);
    int frames = 0;
    while (window->needsFrame() && frames < 100) {
        RunLoop::main().advance(1.0 / 60);
        window->renderFrame();
        ++frames;
    }
    EXPECT_GE(frames, 6);
    EXPECT_LE(frames, 8);
    EXPECT_EQ(requests, 2 + frames - 1) << "once per frame while the animation runs";
    EXPECT_EQ(data[0], 0x12345678u) << "the corner was never redrawn";

    // A new size makes a new surface, drawn whole.
    window->setSize({50, 50});
    EXPECT_EQ(window->renderFrame(), (Rect{0, 0, 50, 50}));
    EXPECT_EQ(cairo_image_surface_get_width(window->backingSurface()), 100);
}

// A clock that moves on each time it is read.
class TickingClock final : public platform::core::Clock {
public:
    explicit TickingClock(double start) : now_(start) {}
    double now() const override { return now_.fetch_add(0.002) + 0.002; }
    bool isReal() const override { return false; }

private:
    mutable std::atomic<double> now_;
};

TEST_F(FrameDamageTest, OneFrameShowsEveryAnimationAtOneTime) {
    const double start = 1767225600.0;
    std::vector<std::shared_ptr<View>> bars;
    for (int i = 0; i < 3; ++i) {
        auto bar = square({0, i * 20.0, 10, 10}, red);
        root->addSubview(bar);
        auto slide = BasicAnimation::create("position.x");
        slide->setFromValue(5.0);
        slide->setToValue(85.0);
        slide->setDuration(1);
        slide->setBeginTime(start);
        bar->layer()->addAnimation(*slide, "slide");
        bars.push_back(bar);
    }
    RunLoop::main().setClock(std::make_shared<TickingClock>(start + 0.25));
    window->renderFrame();
    const auto drawn = pixels(window->backingSurface());
    // The left edge of each bar, in pixels.
    std::vector<int> edges;
    for (int i = 0; i < 3; ++i) {
        const int row = (i * 20 + 5) * 2;
        int x = 0;
        while (x < 200 && drawn[row * 200 + x] != 0xffff0000u) ++x;
        edges.push_back(x);
    }
    EXPECT_EQ(edges[0], edges[1]);
    EXPECT_EQ(edges[1], edges[2]);

    // A frame given its time shows every animation at that time.
    RunLoop::main().useManualClock(start);
    window->renderFrame(start + 0.5);
    const auto half = pixels(window->backingSurface());
    for (int i = 0; i < 3; ++i) {
        const int row = (i * 20 + 5) * 2;
        EXPECT_NE(half[row * 200 + 79], 0xffff0000u) << "left of the bar at 40 points";
        EXPECT_EQ(half[row * 200 + 80], 0xffff0000u) << "the bar from 40 points";
        EXPECT_EQ(half[row * 200 + 99], 0xffff0000u);
        EXPECT_NE(half[row * 200 + 100], 0xffff0000u) << "right of the bar at 50 points";
    }
}

// A view that changes its own width constraint each time it is laid out.
class RestlessView : public View {
public:
    explicit RestlessView(ConstructorKey key) : View(key, {}) {}
    static std::shared_ptr<RestlessView> create() { return std::make_shared<RestlessView>(ConstructorKey{}); }
    LayoutConstraintPtr width;
    int passes = 0;
    void layoutSubviews() override {
        ++passes;
        if (width) width->setConstant(width->constant() + 1);
    }
};

TEST_F(FrameDamageTest, ALayoutPassThatDoesNotSettleSaysSoOnce) {
    auto restless = RestlessView::create();
    restless->setTranslatesAutoresizingMaskIntoConstraints(false);
    root->addSubview(restless);
    restless->width = restless->widthAnchor().constraintEqualToConstant(10);
    LayoutConstraint::activate({restless->width, restless->heightAnchor().constraintEqualToConstant(10),
                                restless->leftAnchor().constraintEqualTo(root->leftAnchor()),
                                restless->topAnchor().constraintEqualTo(root->topAnchor())});
    platform::core::DebugCapture capture;
    window->layoutIfNeeded();
    EXPECT_EQ(capture.count("layout pass stopped after 8 rounds"), 1u);
    EXPECT_EQ(restless->passes, 8);

    // A pass that settles says nothing.
    restless->width.reset();
    capture.clear();
    restless->setNeedsLayout();
    window->layoutIfNeeded();
    EXPECT_EQ(capture.lines().size(), 0u);
}

}  // namespace
