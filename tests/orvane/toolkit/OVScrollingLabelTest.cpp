// The marquee label in a window, on a manual clock: its layout after each
// layout pass and the container's slide as the clock advances. Widths come
// from a fixed-advance measure (10 points a character) unless a test is about
// real fonts.
#include "orvane/toolkit/OVScrollingLabel.hpp"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/core/RunLoop.hpp"
#include "platform/ui/RenderProbe.hpp"
#include "platform/ui/views/Window.hpp"

namespace orvane {
namespace {

using namespace platform::ui;
using platform::core::RunLoop;

class OVScrollingLabelTest : public ::testing::Test {
protected:
    void SetUp() override { t0 = RunLoop::main().useManualClock()->now(); }
    void advanceTo(double seconds) { RunLoop::main().advance(t0 + seconds - RunLoop::main().now()); }

    std::shared_ptr<OVScrollingLabel> makeLabel(double width) {
        auto label = OVScrollingLabel::create({0, 0, width, 30});
        window->addSubview(label);
        return label;
    }
    static std::shared_ptr<View> container(const OVScrollingLabel& label) { return label.scrollingContainer(); }
    // The container's left edge as shown now, in the label's coordinates.
    static double shownLeft(const OVScrollingLabel& label) {
        const auto& layer = label.scrollingContainer()->layer();
        const Point position = layer->presented<Point>(keypath::position, layer->position());
        return position.x - layer->bounds().size.width / 2;
    }

    double t0 = 0;
    ScopedTextMeasurer fixed{std::make_shared<FixedAdvanceTextMeasurer>(10, 20)};
    std::shared_ptr<Window> window = Window::create({400, 100}, 1);
};

TEST_F(OVScrollingLabelTest, WorkedExampleSlidesTwoCopiesLinearlyForEver) {
    auto label = makeLabel(150);
    label->setText("twenty characters!!!");  // 200 points
    label->layoutIfNeeded();
    EXPECT_EQ(container(*label)->frame().size.width, 0);  // no maximum yet: nothing shown

    label->setTextMaxLength(150);
    label->layoutIfNeeded();
    EXPECT_EQ(label->textWidth(), 200);
    EXPECT_EQ(container(*label)->frame(), (Rect{-218, 0, 418, 30}));
    EXPECT_EQ(label->sublabels()[0]->frame(), (Rect{0, 0, 201, 30}));
    EXPECT_EQ(label->sublabels()[1]->frame(), (Rect{219, 0, 201, 30}));

    const auto& layer = container(*label)->layer();
    ASSERT_FALSE(layer->animationKeys().empty());
    for (const std::string& key : layer->animationKeys()) {
        const auto animation = layer->animation(key);
        EXPECT_NEAR(animation->duration(), 184.0 / 15, 1e-9) << key;  // about 12.27 s
        EXPECT_GE(animation->repeatCount(), Animation::repeatForever) << key;
        EXPECT_FALSE(animation->autoreverses()) << key;
    }
    // Linear from 0 to −218 in each cycle, then back to 0, cycle after cycle.
    const double cycle = 184.0 / 15;
    struct Sample {
        double seconds;
        double left;
    };
    for (const Sample& s : std::vector<Sample>{{0, 0},
                                               {cycle / 4, -54.5},
                                               {cycle / 2, -109},
                                               {cycle * 0.999, -217.782},
                                               {cycle * 1.5, -109},
                                               {cycle * 100 + cycle / 4, -54.5}}) {
        advanceTo(s.seconds);
        EXPECT_NEAR(shownLeft(*label), s.left, 1e-3) << s.seconds;
    }

    // The same text again restarts the slide from its beginning.
    advanceTo(cycle * 100 + cycle / 2);
    label->setText("twenty characters!!!");
    EXPECT_NEAR(shownLeft(*label), 0, 1e-6);
    advanceTo(cycle * 100 + cycle);
    EXPECT_NEAR(shownLeft(*label), -109, 1e-3);
}

TEST_F(OVScrollingLabelTest, StandsStillAndCentredUpToTheMaximumAndScrollsBeyondIt) {
    struct Step {
        const char* what;
        std::optional<std::string> text;
        double maxLength;
        double speed;
        Rect containerFrame;
        bool animates;
    };
    // A 250-point label; "fifteen letters" is 150 points wide.
    const std::vector<Step> steps = {
        {"exactly as wide as the maximum", "fifteen letters", 150, 15, {50, 0, 150, 30}, false},
        {"maximum lowered below the width", "fifteen letters", 149, 15, {-168, 0, 318, 30}, true},
        {"maximum raised to the width", "fifteen letters", 150, 15, {50, 0, 150, 30}, false},
        {"shorter text", "five!", 150, 15, {100, 0, 50, 30}, false},
        {"speed 0 keeps the strip flush left", "fifteen letters", 100, 0, {0, 0, 318, 30}, false},
        {"negative speed alike", "fifteen letters", 100, -3, {0, 0, 318, 30}, false},
    };
    auto label = makeLabel(250);
    for (const Step& s : steps) {
        label->setSpeed(s.speed);
        label->setText(s.text);
        label->setTextMaxLength(s.maxLength);
        label->layoutIfNeeded();
        EXPECT_EQ(container(*label)->frame(), s.containerFrame) << s.what;
        EXPECT_EQ(!container(*label)->layer()->animationKeys().empty(), s.animates) << s.what;
        if (!s.animates) {
            advanceTo(5);
            EXPECT_EQ(shownLeft(*label), s.containerFrame.origin.x) << s.what;  // stays there
        }
        for (const auto& copy : label->sublabels()) EXPECT_EQ(copy->text(), s.text) << s.what;
        t0 = RunLoop::main().now();
    }

    // No text: both copies cleared, the last layout and any slide kept.
    label->setSpeed(15);
    label->setTextMaxLength(100);
    label->setText(std::nullopt);
    label->layoutIfNeeded();
    for (const auto& copy : label->sublabels()) EXPECT_FALSE(copy->text());
    EXPECT_EQ(container(*label)->frame(), (Rect{-168, 0, 318, 30}));
    EXPECT_FALSE(container(*label)->layer()->animationKeys().empty());
}

TEST_F(OVScrollingLabelTest, AFontChangeAloneDoesNotReMeasureTheText) {
    ScopedTextMeasurer pango(nullptr);
    auto label = makeLabel(100);
    label->setFont(Font::systemFont(12));
    label->setTextColor(Color{1, 0, 0, 1});
    label->setText("Morning news");
    label->setTextMaxLength(1000);
    label->layoutIfNeeded();
    const double small = label->textWidth();
    EXPECT_GT(small, 40);
    EXPECT_NEAR(label->sublabels()[0]->frame().size.width, small + 1, 1e-6);

    label->setFont(Font::systemFont(24));
    label->layoutIfNeeded();
    for (const auto& copy : label->sublabels()) {
        EXPECT_EQ(copy->font(), Font::systemFont(24));
        EXPECT_EQ(copy->textColor(), (Color{1, 0, 0, 1}));
        EXPECT_NEAR(copy->frame().size.width, small + 1, 1e-6);  // the old width
    }
    EXPECT_EQ(label->textWidth(), small);

    label->setText("Morning news");  // measured again, with the new font
    label->layoutIfNeeded();
    EXPECT_GT(label->textWidth(), 1.8 * small);
    EXPECT_NEAR(label->sublabels()[1]->frame().size.width, label->textWidth() + 1, 1e-6);
}

TEST_F(OVScrollingLabelTest, RestartsOnlyAScrollingTextWhoseSlideWasLost) {
    auto label = makeLabel(150);
    label->setText("twenty characters!!!");
    label->setTextMaxLength(150);
    const auto& layer = container(*label)->layer();
    const std::string key = layer->animationKeys().front();

    advanceTo(3);
    label->restartAnimationIfNeeded();  // sliding: nothing happens
    EXPECT_EQ(layer->animation(key)->beginTime(), t0);

    layer->removeAllAnimations();  // as when the view left the screen
    label->restartAnimationIfNeeded();
    ASSERT_TRUE(layer->animation(key));
    EXPECT_EQ(layer->animation(key)->beginTime(), t0 + 3);
    EXPECT_NEAR(shownLeft(*label), 0, 1e-6);

    label->stopAnimation();  // a direct stop keeps the intent to scroll
    label->layoutIfNeeded();
    EXPECT_EQ(container(*label)->frame(), (Rect{-25, 0, 200, 30}));
    EXPECT_TRUE(layer->animationKeys().empty());
    label->restartAnimationIfNeeded();
    EXPECT_FALSE(layer->animationKeys().empty());

    // A text that fits never restarts, but a direct start slides it anyway.
    label->setText("five!");
    label->restartAnimationIfNeeded();
    EXPECT_TRUE(layer->animationKeys().empty());
    label->startAnimation();
    label->layoutIfNeeded();
    EXPECT_EQ(container(*label)->frame(), (Rect{-68, 0, 118, 30}));
    EXPECT_NEAR(layer->animation(layer->animationKeys().front())->duration(), ((150.0 + 50 + 18) / 2) / 15, 1e-9);
}

TEST_F(OVScrollingLabelTest, DrawsTheSlidingCopiesOnlyInsideItsFrame) {
    ScopedTextMeasurer pango(nullptr);
    auto label = OVScrollingLabel::create({50, 20, 150, 30});
    window->addSubview(label);
    label->setFont(Font::systemFont(20));
    label->setText("MMMMMMMMMMMMMMMMMMMMMMMMMMMMMM");
    label->setTextMaxLength(150);
    const double cycle = ((150 + label->textWidth() + OVScrollingLabel::space) / 2) / 15;
    for (const double seconds : {0.0, cycle / 3, cycle * 0.9}) {
        advanceTo(seconds);
        const auto image = window->snapshot();
        ASSERT_TRUE(image.has_value());
        int inside = 0, outside = 0;
        for (int y = 0; y < 100; ++y) {
            for (int x = 0; x < 400; ++x) {
                if (renderprobe::pixelAt(*image, x + 0.5, y + 0.5)[3] == 0) continue;
                (x >= 50 && x < 200 && y >= 20 && y < 50 ? inside : outside)++;
            }
        }
        EXPECT_GT(inside, 300) << seconds;
        EXPECT_EQ(outside, 0) << seconds;
    }
}

}  // namespace
}  // namespace orvane
