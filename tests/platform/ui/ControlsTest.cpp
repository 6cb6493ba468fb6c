#include <gtest/gtest.h>

#include "platform/core/RunLoop.hpp"

#include <cmath>

#include "RenderProbe.hpp"
#include "platform/ui/controls/Button.hpp"
#include "platform/ui/controls/ProgressView.hpp"
#include "platform/ui/controls/Slider.hpp"
#include "platform/ui/views/Window.hpp"

using namespace platform::ui;

namespace {

Image square(int side) { return *Image::fromPixels(side, side, std::vector<std::uint8_t>(side * side * 4, 255)); }

TEST(Controls, ButtonValuesFallBackToTheNormalState) {
    auto button = Button::create({0, 0, 100, 40});
    button->setTitle("Play", ControlState::normal);
    button->setTitle("Pressed", ControlState::highlighted);
    button->setTitleColor(Color::black(), ControlState::selected);
    button->setImage(square(10), ControlState::normal);
    button->setImage(square(20), ControlState::disabled);
    struct Case {
        bool highlighted, enabled, selected;
        std::string title;
        Color titleColor;
        double imageSide;
    };
    const std::vector<Case> cases{
        {false, true, false, "Play", Color::white(), 10},
        {true, true, false, "Pressed", Color::white(), 10},
        {false, false, false, "Play", Color::white(), 20},
        {false, true, true, "Play", Color::black(), 10},
        // A combined state has its own values or the normal ones.
        {true, true, true, "Play", Color::white(), 10},
    };
    for (const auto& c : cases) {
        button->setHighlighted(c.highlighted);
        button->setEnabled(c.enabled);
        button->setSelected(c.selected);
        button->layoutIfNeeded();
        EXPECT_EQ(button->currentTitle(), c.title);
        EXPECT_EQ(button->currentTitleColor(), c.titleColor);
        EXPECT_EQ(button->titleLabel()->text(), c.title);
        EXPECT_EQ(button->titleLabel()->textColor(), c.titleColor);
        // Image then title, centred together.
        const Rect title = button->titleLabel()->frame();
        EXPECT_GT(title.size.width, 0);
        EXPECT_EQ(button->imageView()->frame(), (Rect{50 - (c.imageSide + title.size.width) / 2,
                                                      20 - c.imageSide / 2, c.imageSide, c.imageSide}));
        EXPECT_DOUBLE_EQ(title.minX(), button->imageView()->frame().maxX());
    }
    button->setImage(std::nullopt, ControlState::normal);
    button->setEnabled(true);
    EXPECT_FALSE(button->currentImage());
    EXPECT_TRUE(button->imageView()->isHidden());
}

struct Sink {
    int calls = 0;
    void act(Control&) { ++calls; }
};

TEST(Controls, EventsOfOnePairAddUpAndCanBeRemovedOneByOne) {
    auto control = Control::create();
    auto sink = std::make_shared<Sink>();
    control->addTarget(sink, &Sink::act, ControlEvents::touchUpInside);
    control->addTarget(sink, &Sink::act, ControlEvents::valueChanged);
    control->sendActions(ControlEvents::touchUpInside | ControlEvents::valueChanged);
    EXPECT_EQ(sink->calls, 1);
    control->removeTarget(sink.get(), &Sink::act, ControlEvents::touchUpInside);
    control->sendActions(ControlEvents::touchUpInside);
    control->sendActions(ControlEvents::valueChanged);
    EXPECT_EQ(sink->calls, 2);
}

TEST(Controls, ProgressIsClampedAndFillsItsShare) {
    struct Case {
        float set, expected;
    };
    for (const auto& c : std::vector<Case>{{0.25f, 0.25f}, {-1, 0}, {3, 1}, {std::nanf(""), 0}}) {
        auto view = ProgressView::create({0, 0, 200, 4});
        view->setProgress(c.set, true);
        EXPECT_EQ(view->progress(), c.expected);
        EXPECT_EQ(view->layer()->sublayers().front()->frame().size.width, 200 * c.expected);
    }
}

TEST(Controls, AnimatedProgressAndValueMoveOnTheClock) {
    auto& loop = platform::core::RunLoop::main();
    loop.useManualClock();
    auto progress = ProgressView::create({0, 0, 200, 4});
    auto slider = Slider::create({0, 0, 200, 30});
    const auto barWidth = [&] {
        return std::get<Rect>(*progress->layer()->sublayers().front()->presentationValue("bounds")).size.width;
    };
    const auto thumbX = [&] {
        return std::get<Point>(*slider->layer()->sublayers().back()->presentationValue("position")).x;
    };
    const double thumbStart = thumbX();
    slider->setValue(1, true);
    const double thumbEnd = slider->layer()->sublayers().back()->position().x;
    progress->setProgress(1, true);
    EXPECT_EQ(progress->layer()->sublayers().front()->frame().size.width, 200);  // the model is final at once
    EXPECT_NEAR(barWidth(), 0, 1e-9);
    loop.advance(ProgressView::animationDuration / 2);
    EXPECT_NEAR(barWidth(), 100, 1e-6);  // ease in and out is symmetric
    EXPECT_NEAR(thumbX(), (thumbStart + thumbEnd) / 2, 1e-6);
    loop.advance(ProgressView::animationDuration);
    EXPECT_EQ(barWidth(), 200);
    EXPECT_EQ(thumbX(), thumbEnd);
}

TEST(Controls, ATemplateImageTakesTheImageViewsTint) {
    using Mode = Image::RenderingMode;
    for (Mode mode : {Mode::alwaysTemplate, Mode::alwaysOriginal}) {
        auto window = Window::create({20, 20});
        auto view = ImageView::create(square(20).withRenderingMode(mode));
        view->setTintColor(Color{1, 0, 0, 1});
        window->addSubview(view);
        const auto red = renderprobe::pixelAt(*window->snapshot(), 10, 10);
        window->setTintColor(Color{0, 0, 1, 1});
        view->setTintColor(std::nullopt);  // now inherits blue
        const auto blue = renderprobe::pixelAt(*window->snapshot(), 10, 10);
        if (mode == Mode::alwaysTemplate) {
            EXPECT_EQ(red, (renderprobe::Rgba{255, 0, 0, 255}));
            EXPECT_EQ(blue, (renderprobe::Rgba{0, 0, 255, 255}));
        } else {
            EXPECT_EQ(red, (renderprobe::Rgba{255, 255, 255, 255}));
            EXPECT_EQ(blue, red);
        }
    }
}

}  // namespace
