#include "orvane/toolkit/OVLabelWithGradient.hpp"

#include <gtest/gtest.h>

#include "platform/ui/views/GradientLayer.hpp"
#include "platform/ui/views/Window.hpp"

namespace orvane {
namespace {

using platform::graphics::Color;
using platform::ui::LineBreakMode;
using platform::graphics::Rect;

TEST(OVLabelWithGradient, FadesTheClippedEndOnceAndOnlyWhenTheTextOverflows) {
    platform::ui::ScopedTextMeasurer fixed(std::make_shared<platform::ui::FixedAdvanceTextMeasurer>(10, 20));
    const Color white{1, 1, 1, 1};
    struct Case {
        std::optional<std::string> text;
        bool fades;
        LineBreakMode mode;
    };
    const std::vector<Case> cases = {
        {"fifteen letters", true, LineBreakMode::byClipping},   // 150 in 100
        {"ten chars!", false, LineBreakMode::byClipping},       // exactly as wide
        {std::nullopt, false, LineBreakMode::byTruncatingTail},  // no text: mode kept
    };
    auto window = platform::ui::Window::create({300, 100}, 1);
    for (const Case& c : cases) {
        auto label = OVLabelWithGradient::create({0, 0, 100, 30});
        window->addSubview(label);
        label->setText(c.text);
        label->setGradientIfNeeded(white);
        label->setGradientIfNeeded(white);  // a second call leaves one fade
        EXPECT_EQ(label->subviews().size(), c.fades ? 1u : 0u);
        EXPECT_EQ(label->lineBreakMode(), c.mode);
        if (!c.fades) continue;
        const auto& fade = label->gradientView();
        EXPECT_EQ(fade->frame(), (Rect{80, 0, 20, 30}));
        auto gradient = std::dynamic_pointer_cast<platform::ui::GradientLayer>(fade->layer()->sublayers().back());
        ASSERT_TRUE(gradient);
        EXPECT_EQ(gradient->frame(), (Rect{0, 0, 20, 30}));
        EXPECT_EQ(gradient->colors(), (std::vector<Color>{{1, 1, 1, 0}, white}));
        EXPECT_EQ(gradient->startPoint(), (platform::graphics::Point{0, 0}));
        EXPECT_EQ(gradient->endPoint(), (platform::graphics::Point{1, 0}));
    }

    // The fade view follows the label's height; its gradient keeps the frame
    // it was built with until the next call. Out of a window the fade is
    // placed all the same.
    for (const bool inWindow : {true, false}) {
        auto label = OVLabelWithGradient::create({10, 5, 100, 30});
        if (inWindow) window->addSubview(label);
        label->setText("fifteen letters");
        label->setGradientIfNeeded(white);
        const auto& fade = label->gradientView();
        EXPECT_EQ(fade->frame(), (Rect{80, 0, 20, 30}));
        if (!inWindow) continue;
        label->setFrame({10, 5, 100, 50});
        label->layoutIfNeeded();
        EXPECT_EQ(fade->frame(), (Rect{80, 0, 20, 50}));
        EXPECT_EQ(fade->layer()->sublayers().back()->frame(), (Rect{0, 0, 20, 30}));
        label->setGradientIfNeeded(white);
        EXPECT_EQ(label->gradientView()->layer()->sublayers().back()->frame(), (Rect{0, 0, 20, 50}));
    }

    // A label that lost its text loses its fade too.
    auto label = OVLabelWithGradient::create({0, 0, 100, 30});
    label->setText("fifteen letters");
    label->setGradientIfNeeded(white);
    label->setText(std::nullopt);
    label->setGradientIfNeeded(white);
    EXPECT_TRUE(label->subviews().empty());
    EXPECT_TRUE(label->gradientView());
}

}  // namespace
}  // namespace orvane
